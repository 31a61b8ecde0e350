#pragma once
// The built Pellwick.dll and its German satellite, opened for reading their
// resources and file contents back.
#include <windows.h>

#include <string>

#include "framework/handles.h"

std::string SatellitePath();                         // bin\resdll\Pellwick_de.rsc
std::string TestDataPath(const char* name);          // bin\testdata\<name>

// Loads a module for its resources only; no code runs. Empty on failure.
ModuleHandle LoadResourcesOnly(const std::string& path);

// The bytes of one resource in exactly `language`; false when there is none.
bool ResourceBytes(HMODULE module, LPCWSTR type, WORD id, WORD language, std::string& bytes);

// The whole file, byte for byte; false when it cannot be read.
bool FileBytes(const std::string& path, std::string& bytes);

constexpr WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);  // 0x0409
constexpr WORD kGerman = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);          // 0x0407
