#pragma once
// How a keystroke the container offers (IOleInPlaceActiveObject::
// TranslateAccelerator) is divided between the control window's dialog
// manager and the container's own handling.
#include <windows.h>
#include <ocidl.h>

// The modifier flags of this moment for IOleControlSite::TranslateAccelerator:
// Shift 1, Ctrl 2, Alt 4, added.
DWORD KeyModifiers() noexcept;

// Offers a copy of `message` to `window`'s dialog manager unless it must leave
// the control (Escape, Cancel, Execute; Tab or an arrow at the page's
// boundary; a character the target does not take). Consumed: S_OK, and
// `lastFocusChild` follows the focus. Not consumed: `site`'s control site
// decides; S_OK only when it answers S_OK, else S_FALSE (also without one).
HRESULT DivideKeystroke(HWND window, const MSG& message, IOleClientSite* site,
                        HWND& lastFocusChild) noexcept;
