#pragma once
// Suspends a window's drawing for a batch of changes and has it repainted once
// afterwards, frame included. Besides WM_SETREDRAW the window is marked hidden
// meanwhile: a list box that gains its scroll bar when drawing resumes would
// otherwise draw the bar at once, and again with the rest at the next paint.
// The window's other style bits are left as the changes left them.
#include <windows.h>

class RedrawSuspension {
 public:
  explicit RedrawSuspension(HWND window) noexcept
      : window_(window), shown_((GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0) {
    if (shown_) MarkShown(false);
    SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
  }
  ~RedrawSuspension() {
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    if (shown_) MarkShown(true);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  }
  RedrawSuspension(const RedrawSuspension&) = delete;
  RedrawSuspension& operator=(const RedrawSuspension&) = delete;

 private:
  void MarkShown(bool shown) noexcept {
    const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
    SetWindowLongPtrW(window_, GWL_STYLE, shown ? style | WS_VISIBLE : style & ~WS_VISIBLE);
  }

  HWND window_;
  bool shown_;
};
