#include "framework/keyboard_division.h"

#include "framework/focus_tracking.h"

namespace {
bool KeyDown(int key) noexcept { return GetKeyState(key) < 0; }

bool IsKeyboardOrMouseMessage(UINT message) noexcept {
  return (message >= WM_KEYFIRST && message <= 0x0109) ||
         (message >= WM_MOUSEFIRST && message <= 0x020D);
}

// The last tab stop of the page: the one that precedes its first child.
HWND LastTabStop(HWND window, HWND firstChild) noexcept {
  return GetNextDlgTabItem(window, firstChild, TRUE);
}

// Whether a WM_KEYDOWN must leave the control for the container.
bool LeavesControl(HWND window, HWND currentChild, WPARAM key, LRESULT dialogCode) noexcept {
  const HWND firstChild = FirstChildWindow(window);
  switch (key) {
    case VK_CANCEL:
    case VK_ESCAPE:
    case VK_EXECUTE:
      return true;
    case VK_TAB:
      if (dialogCode & DLGC_WANTTAB) return false;
      return currentChild ==
             (KeyDown(VK_SHIFT) ? firstChild : LastTabStop(window, firstChild));
    case VK_RIGHT:
    case VK_DOWN:
      if (dialogCode & DLGC_WANTARROWS) return false;
      return currentChild == LastTabStop(window, firstChild);
    case VK_LEFT:
    case VK_UP:
      if (dialogCode & DLGC_WANTARROWS) return false;
      return currentChild == firstChild;
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

bool OfferToDialog(HWND window, MSG& message, HWND& lastFocusChild) noexcept {
  if (!IsKeyboardOrMouseMessage(message.message) || !IsWindow(window)) return false;
  // Only embedded controls would take the message at the current child; the
  // standard controls of a dialog never do, so it is not offered there.
  const HWND currentChild = DirectChildContaining(window, GetFocus());
  // A Unicode dialog takes its characters through the wide dialog manager:
  // the narrow one would hand a list box a character outside the code page
  // as some other character.
  const bool unicode = IsWindowUnicode(window) != FALSE;
  const LRESULT dialogCode = unicode ? SendMessageW(message.hwnd, WM_GETDLGCODE, 0, 0)
                                     : SendMessageA(message.hwnd, WM_GETDLGCODE, 0, 0);
  if (message.message == WM_CHAR && dialogCode == 0) return false;
  if (message.message == WM_KEYDOWN &&
      LeavesControl(window, currentChild, message.wParam, dialogCode))
    return false;
  // The control declares no accelerators, so system keys go to the dialog
  // manager like the rest.
  if (!(unicode ? IsDialogMessageW(window, &message) : IsDialogMessageA(window, &message)))
    return false;
  lastFocusChild = FocusedChildWithin(window);
  return true;
}
