#pragma once
// Strings of a module's string table as narrow text in the thread's code page.
#include <windows.h>

#include <string>

// String `id` of `module`'s table in the neutral language; empty when the
// table, the block or the string is missing.
std::string LoadNarrowString(HMODULE module, UINT id);
