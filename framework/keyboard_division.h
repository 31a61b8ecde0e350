#pragma once
// How a keystroke the container offers (IOleInPlaceActiveObject::
// TranslateAccelerator) is divided between the control window's dialog
// manager and the container's own handling.
#include <windows.h>

// The modifier flags of this moment for IOleControlSite::TranslateAccelerator:
// Shift 1, Ctrl 2, Alt 4, added.
DWORD KeyModifiers() noexcept;

// Offers `message` to `window`'s dialog manager unless it must leave the
// control (Escape, Cancel, Execute; Tab or an arrow at the page's boundary; a
// character the target does not take). True when the dialog manager took it;
// `last_focus_child` then follows the focus. What is not taken is the control
// site's to decide. The dialog manager may reach the page's handlers, so
// `window` may be gone when this returns.
bool OfferToDialog(HWND window, MSG& message, HWND& last_focus_child) noexcept;
