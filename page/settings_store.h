#pragma once
// Reading one string value of an open registry key, bounded by what it
// allocated. No key is kept open by anyone.
#include <windows.h>

#include <string>

// The text of `name` up to its first NUL, when the value is REG_SZ or
// REG_EXPAND_SZ (not expanded); empty for a missing value or any other type.
// Never reads past its own buffer: a value without a NUL gives all its
// bytes, and one that grows between the size query and the read is read
// again at its new size. May throw std::bad_alloc.
std::string ReadSettingsString(HKEY key, const char* name);

// The same through `read`, which behaves as RegQueryValueExA: lets a test
// change the value between the size query and the read.
using ValueReader = LSTATUS(APIENTRY*)(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type,
                                       LPBYTE data, LPDWORD size);
std::string ReadSettingsString(HKEY key, const char* name, ValueReader read);
