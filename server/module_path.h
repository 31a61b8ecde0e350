#pragma once
// The component file's path as registration needs it, in UTF-16 so that any
// folder name serves, and the conversion of narrow script text to UTF-16 in
// the thread's ANSI code page.
#include <windows.h>

#include <string>
#include <string_view>

// The path the loader reports for `module`, read into a MAX_PATH buffer. A
// failed call gives the HRESULT of the last error; a path that does not fit
// gives HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER). `path` is unchanged on failure.
HRESULT ModuleFileName(HMODULE module, std::wstring& path) noexcept;

// `text` converted with CP_THREAD_ACP, every byte included. E_OUTOFMEMORY or
// the conversion's error leave `result` unchanged.
HRESULT WideFromThreadAnsi(std::string_view text, std::wstring& result) noexcept;
