#pragma once
// The database picker: a modal dialog listing the known databases with the
// current one selected. True with `choice` set when the user confirmed one.
#include <windows.h>

#include <string>

#include "host_data.h"

bool PickDataBase(HWND owner, const HostData& data, std::string& choice);

// The caption the picker's window carries, for whoever has to find it.
inline constexpr const char kPickerCaption[] = "Change Database";
