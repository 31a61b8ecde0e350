#pragma once
// Reading one string value of an open registry key, bounded by what it
// allocated. No key is kept open by anyone.
#include <windows.h>

#include <string>

// The text of `name` up to its first NUL, when the value is REG_SZ or
// REG_EXPAND_SZ (not expanded); empty for a missing value or any other type.
// Read as UTF-16, which is how the registry keeps REG_SZ whichever function
// wrote it. Never reads past its own buffer: a value without a NUL gives all
// its whole units, and one that grows between the size query and the read is
// read again at its new size. May throw std::bad_alloc.
std::wstring ReadSettingsString(HKEY key, const wchar_t* name);

// The same through `read`, which behaves as RegQueryValueExW: lets a test
// change the value between the size query and the read.
using ValueReader = LSTATUS(APIENTRY*)(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type,
                                       LPBYTE data, LPDWORD size);
std::wstring ReadSettingsString(HKEY key, const wchar_t* name, ValueReader read);
