#pragma once
// What the test program, and so the DLL built beside it, was built for: the
// type library's system kind and the key its registration writes under.
#include <windows.h>
#include <oaidl.h>

#ifdef _WIN64
constexpr SYSKIND kBuiltSysKind = SYS_WIN64;
constexpr const wchar_t* kBuiltSysKindKey = L"win64";
#else
constexpr SYSKIND kBuiltSysKind = SYS_WIN32;
constexpr const wchar_t* kBuiltSysKindKey = L"win32";
#endif
