#pragma once
// Enables or disables a window only when that changes it: EnableWindow(FALSE)
// on a window already disabled still sends it WM_CANCELMODE, whose default
// handling asks the window manager who holds the mouse capture.
#include <windows.h>

inline void SetWindowEnabled(HWND window, bool enable) noexcept {
  if ((IsWindowEnabled(window) != FALSE) != enable) EnableWindow(window, enable);
}
