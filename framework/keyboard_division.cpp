#include "framework/keyboard_division.h"

#include "framework/focus_tracking.h"

namespace {
bool KeyDown(int key) noexcept { return GetKeyState(key) < 0; }

bool IsKeyboardOrMouseMessage(UINT message) noexcept {
  return (message >= WM_KEYFIRST && message <= 0x0109) ||
         (message >= WM_MOUSEFIRST && message <= 0x020D);
}

// The last tab stop of the page: the one that precedes its first child.
HWND LastTabStop(HWND window, HWND first_child) noexcept {
  return GetNextDlgTabItem(window, first_child, TRUE);
}

// Whether a WM_KEYDOWN must leave the control for the container.
bool LeavesControl(HWND window, HWND current_child, WPARAM key, LRESULT dialog_code) noexcept {
  const HWND first_child = FirstChildWindow(window);
  switch (key) {
    case VK_CANCEL:
    case VK_ESCAPE:
    case VK_EXECUTE:
      return true;
    case VK_TAB:
      if (dialog_code & DLGC_WANTTAB) return false;
      return current_child ==
             (KeyDown(VK_SHIFT) ? first_child : LastTabStop(window, first_child));
    case VK_RIGHT:
    case VK_DOWN:
      if (dialog_code & DLGC_WANTARROWS) return false;
      return current_child == LastTabStop(window, first_child);
    case VK_LEFT:
    case VK_UP:
      if (dialog_code & DLGC_WANTARROWS) return false;
      return current_child == first_child;
    default:
      return false;
  }
}

}  // namespace

DWORD KeyModifiers() noexcept {
  DWORD modifiers = 0;
  if (KeyDown(VK_SHIFT)) modifiers |= 1;
  if (KeyDown(VK_CONTROL)) modifiers |= 2;
  if (KeyDown(VK_MENU)) modifiers |= 4;
  return modifiers;
}

bool OfferToDialog(HWND window, MSG& message, HWND& last_focus_child) noexcept {
  if (!IsKeyboardOrMouseMessage(message.message) || !IsWindow(window)) return false;
  // Only embedded controls would take the message at the current child; the
  // standard controls of a dialog never do, so it is not offered there.
  const HWND current_child = DirectChildContaining(window, GetFocus());
  // A Unicode dialog takes its characters through the wide dialog manager:
  // the narrow one would hand a list box a character outside the code page
  // as some other character.
  const bool unicode = IsWindowUnicode(window) != FALSE;
  const LRESULT dialog_code = unicode ? SendMessageW(message.hwnd, WM_GETDLGCODE, 0, 0)
                                     : SendMessageA(message.hwnd, WM_GETDLGCODE, 0, 0);
  if (message.message == WM_CHAR && dialog_code == 0) return false;
  if (message.message == WM_KEYDOWN &&
      LeavesControl(window, current_child, message.wParam, dialog_code))
    return false;
  // The control declares no accelerators, so system keys go to the dialog
  // manager like the rest.
  if (!(unicode ? IsDialogMessageW(window, &message) : IsDialogMessageA(window, &message)))
    return false;
  last_focus_child = FocusedChildWithin(window);
  return true;
}
