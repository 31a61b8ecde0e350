#include "framework/focus_tracking.h"

#include <commctrl.h>

bool IsWithin(HWND ancestor, HWND window) noexcept {
  return window && ancestor && (window == ancestor || IsChild(ancestor, window));
}

bool IsDescendant(HWND ancestor, HWND window) noexcept {
  return window && ancestor && IsChild(ancestor, window);
}

HWND DirectChildContaining(HWND parent, HWND window) noexcept {
  if (!IsDescendant(parent, window)) return nullptr;
  while (GetParent(window) != parent) window = GetParent(window);
  return window;
}

HWND FirstChildWindow(HWND parent) noexcept { return GetWindow(parent, GW_CHILD); }

HWND LastChildWindow(HWND parent) noexcept {
  HWND first = FirstChildWindow(parent);
  return first ? GetWindow(first, GW_HWNDLAST) : nullptr;
}

HWND ChildToFocusOnEntry(HWND window, HWND& last_focus_child) noexcept {
  // One read of the thread's key state: under Wine each GetKeyState is a
  // request to its server. A failed read leaves every key up.
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  const auto down = [&keys](int key) { return (keys[key] & 0x80) != 0; };
  const bool tab = down(VK_TAB);
  if ((tab && down(VK_SHIFT)) || down(VK_UP) || down(VK_LEFT)) return LastChildWindow(window);
  if (tab || down(VK_DOWN) || down(VK_RIGHT)) return FirstChildWindow(window);
  if (IsWindow(last_focus_child) && IsDescendant(window, last_focus_child)) return last_focus_child;
  last_focus_child = FirstChildWindow(window);
  return last_focus_child;
}

bool NoteKillFocusNotification(UINT message, WPARAM wParam, LPARAM lParam,
                               HWND& last_focus_child) noexcept {
  if (message == WM_COMMAND && lParam) {
    switch (HIWORD(wParam)) {
      case EN_KILLFOCUS:
      case BN_KILLFOCUS:
      case LBN_KILLFOCUS:
      case CBN_KILLFOCUS:
        last_focus_child = reinterpret_cast<HWND>(lParam);
        return true;
      default:
        return false;
    }
  }
  if (message == WM_NOTIFY && lParam) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code != static_cast<UINT>(NM_KILLFOCUS)) return false;
    last_focus_child = header->hwndFrom;
    return true;
  }
  return false;
}

HWND FocusedChildWithin(HWND window) noexcept {
  HWND focus = GetFocus();
  return IsDescendant(window, focus) ? focus : nullptr;
}
