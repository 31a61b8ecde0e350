#pragma once
// Enables or disables a window only when that changes it: EnableWindow(FALSE)
// on a window already disabled still sends it WM_CANCELMODE, whose default
// handling asks the window manager who holds the mouse capture.
#include <windows.h>

// A window of a dialog that holds the keyboard focus hands it to `focus_heir`
// (another window of the same dialog) before it is disabled: a disabled
// window keeps the focus for nobody, and the keyboard then reaches neither
// the dialog nor its container.
inline void SetWindowEnabled(HWND window, bool enable, HWND focus_heir = nullptr) noexcept {
  if ((IsWindowEnabled(window) != FALSE) == enable) return;
  if (!enable && focus_heir && GetFocus() == window)
    SendMessageW(GetParent(window), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus_heir), TRUE);
  EnableWindow(window, enable);
}
