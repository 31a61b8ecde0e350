#pragma once
// Saves what the screen shows of a window (frame and page included) as a PNG
// file, encoded with the Windows Imaging Component. COM must be initialised.
#include <windows.h>

#include <string>

HRESULT SaveWindowPng(HWND window, const std::wstring& file) noexcept;
