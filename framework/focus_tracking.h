#pragma once
// Where the focus goes inside a control window and which child it last left:
// window-tree rules only; the container calls that go with them are the
// in-place hosting's.
#include <windows.h>

// True when `window` is `ancestor` itself or lies below it.
bool IsWithin(HWND ancestor, HWND window) noexcept;
// True when `window` lies strictly below `ancestor`.
bool IsDescendant(HWND ancestor, HWND window) noexcept;

// The direct child of `parent` that contains `window`, or null.
HWND DirectChildContaining(HWND parent, HWND window) noexcept;

// The first and last child windows of `parent` in creation order.
HWND FirstChildWindow(HWND parent) noexcept;
HWND LastChildWindow(HWND parent) noexcept;

// The child to focus when the focus enters `window`, from the keyboard state
// of this moment: Shift+Tab, Up or Left the last child; Tab, Down or Right the
// first; otherwise `last_focus_child` when it still lies below `window`, else
// the first child, which then becomes `last_focus_child`.
HWND ChildToFocusOnEntry(HWND window, HWND& last_focus_child) noexcept;

// Notes the child that lost the focus from a kill-focus notification sent to
// the control window (EN_, BN_, LBN_, CBN_KILLFOCUS, NM_KILLFOCUS). Returns
// whether the message was one; it stays unhandled either way.
bool NoteKillFocusNotification(UINT message, WPARAM wParam, LPARAM lParam,
                               HWND& last_focus_child) noexcept;

// The window holding the focus when it lies below `window`, else null.
HWND FocusedChildWithin(HWND window) noexcept;
