#pragma once
// Strings of a module's string table, as stored: UTF-16.
#include <windows.h>

#include <string>

// String `id` of `module`'s table in the neutral language; empty when the
// table, the block or the string is missing. May throw std::bad_alloc.
std::wstring LoadResourceString(HMODULE module, UINT id);
