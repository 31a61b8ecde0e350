// The hosting layer's share of the control window's messages: those the
// control's own map left unhandled.
#include "framework/ambient_properties.h"
#include "framework/focus_tracking.h"
#include "framework/in_place_hosting.h"

HRESULT InPlaceHosting::UIActivateSelf() noexcept {
  return owner_.DoVerb(OLEIVERB_UIACTIVATE, nullptr, owner_.HostingClientSite(), 0,
                       owner_.ControlWindow(), &position_);
}

void InPlaceHosting::UIActivateInUserMode() noexcept {
  // A container laying out its form (ambient UserMode FALSE) keeps its own UI.
  bool user_mode = true;
  if (FAILED(ReadAmbientUserMode(Ambient().get(), user_mode)) || user_mode)
    UIActivateSelf();
}

// The focus reports come from window messages, also from a child's own
// procedure, with no call into the control around them: each holds a
// reference, since the container may release the control when it hears.
void InPlaceHosting::OnFocusEntered() noexcept {
  const ComPtr<IUnknown> alive(owner_.HostingLifetime());
  focus_inside_ = true;
  if (!in_place_active_) return;
  // Already UI-active, the container made its choice; otherwise its mode decides.
  if (ui_active_)
    UIActivateSelf();
  else
    UIActivateInUserMode();
  ComPtr<IOleControlSite> control_site = FocusSite();
  if (control_site && in_place_active_) control_site->OnFocus(TRUE);
}

void InPlaceHosting::OnFocusLeft() noexcept {
  const ComPtr<IUnknown> alive(owner_.HostingLifetime());
  focus_inside_ = false;
  if (!in_place_active_) return;
  ComPtr<IOleControlSite> control_site = FocusSite();
  if (control_site) control_site->OnFocus(FALSE);
}

void InPlaceHosting::OnSetFocus(HWND window, HWND previous_focus) noexcept {
  // Back from a child the focus never left the control.
  if (!IsWithin(window, previous_focus)) OnFocusEntered();
  // The container may have closed the control when it heard of the focus.
  if (owner_.ControlWindow() != window) return;
  const HWND child = ChildToFocusOnEntry(window, last_focus_child_);
  if (child) SetFocus(child);
}

void InPlaceHosting::OnKillFocus(HWND window, HWND new_focus) noexcept {
  if (!IsWithin(window, new_focus)) OnFocusLeft();
}

void InPlaceHosting::OnMouseActivate(HWND window) noexcept {
  last_focus_child_ = FocusedChildWithin(window);
  UIActivateInUserMode();
}

BOOL InPlaceHosting::ProcessMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT& result) noexcept {
  switch (message) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
      result = background_.AnswerColorMessage(reinterpret_cast<HDC>(wParam), HighContrastOn());
      return TRUE;
    case WM_SETFOCUS:
      OnSetFocus(window, reinterpret_cast<HWND>(wParam));
      result = 0;
      return TRUE;
    case WM_COMMAND:
    case WM_NOTIFY:
      NoteKillFocusNotification(message, wParam, lParam, last_focus_child_);
      return FALSE;
    case WM_KILLFOCUS:
      OnKillFocus(window, reinterpret_cast<HWND>(wParam));
      return FALSE;
    case WM_MOUSEACTIVATE:
      OnMouseActivate(window);
      return FALSE;
    default:
      return FALSE;
  }
}
