#include "framework/child_focus_watch.h"

#include "framework/focus_tracking.h"

namespace {
// Kept on each watched child: its own procedure, and the watch it reports to.
const wchar_t kOwnProcedure[] = L"Pellwick.ChildFocusWatch.OwnProcedure";
const wchar_t kWatch[] = L"Pellwick.ChildFocusWatch";
}  // namespace

void ChildFocusWatch::Watch(HWND window) noexcept {
  Stop();
  window_ = window;
  if (window) EnumChildWindows(window, &WatchChild, reinterpret_cast<LPARAM>(this));
}

void ChildFocusWatch::Stop() noexcept {
  if (window_ && IsWindow(window_))
    EnumChildWindows(window_, &ReleaseChild, reinterpret_cast<LPARAM>(this));
  window_ = nullptr;
}

BOOL CALLBACK ChildFocusWatch::WatchChild(HWND child, LPARAM watch) noexcept {
  // Still forwarding for an earlier watch: only the watch changes.
  if (GetPropW(child, kOwnProcedure)) {
    SetPropW(child, kWatch, reinterpret_cast<HANDLE>(watch));
    return TRUE;
  }
  const LONG_PTR own = GetWindowLongPtrW(child, GWLP_WNDPROC);
  if (!SetPropW(child, kOwnProcedure, reinterpret_cast<HANDLE>(own))) return TRUE;
  if (!SetPropW(child, kWatch, reinterpret_cast<HANDLE>(watch))) {
    RemovePropW(child, kOwnProcedure);
    return TRUE;
  }
  SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchedChildProc));
  return TRUE;
}

BOOL CALLBACK ChildFocusWatch::ReleaseChild(HWND child, LPARAM watch) noexcept {
  if (GetPropW(child, kWatch) == reinterpret_cast<HANDLE>(watch)) TakeWatchOff(child, false);
  return TRUE;
}

void ChildFocusWatch::TakeWatchOff(HWND child, bool destroyed) noexcept {
  RemovePropW(child, kWatch);
  const bool onTop =
      GetWindowLongPtrW(child, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&WatchedChildProc);
  // A procedure set over ours still calls ours, which must forward until the
  // child is destroyed.
  if (!onTop && !destroyed) return;
  const HANDLE own = RemovePropW(child, kOwnProcedure);
  if (onTop) SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
}

LRESULT CALLBACK ChildFocusWatch::WatchedChildProc(HWND child, UINT message, WPARAM wParam,
                                                   LPARAM lParam) noexcept {
  const auto own = reinterpret_cast<WNDPROC>(GetPropW(child, kOwnProcedure));
  if (message == WM_NCDESTROY) TakeWatchOff(child, true);
  const LRESULT result = own ? CallWindowProcW(own, child, message, wParam, lParam)
                             : DefWindowProcW(child, message, wParam, lParam);
  if (message == WM_SETFOCUS || message == WM_KILLFOCUS) {
    // Read again: the child's own handling may have ended the watch.
    auto* watch = static_cast<ChildFocusWatch*>(GetPropW(child, kWatch));
    if (watch) watch->OnChildFocusMessage(message, reinterpret_cast<HWND>(wParam));
  }
  return result;
}

void ChildFocusWatch::OnChildFocusMessage(UINT message, HWND otherWindow) noexcept {
  // Moves between the window and its descendants stay inside.
  if (IsWithin(window_, otherWindow)) return;
  if (message == WM_SETFOCUS)
    listener_.OnFocusEntered();
  else
    listener_.OnFocusLeft();
}
