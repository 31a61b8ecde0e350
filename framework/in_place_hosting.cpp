#include "framework/in_place_hosting.h"

#include <olectl.h>

#include <utility>

#include "framework/focus_tracking.h"
#include "framework/handles.h"
#include "framework/keyboard_division.h"

HRESULT InPlaceHosting::FindSite() noexcept {
  if (site_) return S_OK;
  const ComPtr<IOleClientSite> client(owner_.HostingClientSite());
  if (!client) return E_FAIL;
  // Never the windowless form: the control always has a window of its own.
  ComPtr<IOleInPlaceSiteEx> site_ex;
  ComPtr<IOleInPlaceSite> site;
  if (SUCCEEDED(client->QueryInterface(IID_IOleInPlaceSiteEx, site_ex.out_void())))
    site.reset(site_ex.get());
  else if (FAILED(client->QueryInterface(IID_IOleInPlaceSite, site.out_void())))
    return E_FAIL;
  site_ex_ = std::move(site_ex);
  site_ = std::move(site);
  return S_OK;
}

HRESULT InPlaceHosting::ActivateInSite() noexcept {
  if (in_place_active_) return S_OK;
  const ComPtr<IOleInPlaceSite> site = site_;
  const ComPtr<IOleInPlaceSiteEx> site_ex = site_ex_;
  const unsigned long start = withdrawals_;
  if (!site_ex) {
    const HRESULT hr = site->CanInPlaceActivate();
    if (Withdrawn(start)) return E_UNEXPECTED;
    if (FAILED(hr)) return hr;
    if (hr != S_OK) return E_FAIL;
  }
  // Active before the site hears of it: a site that deactivates or closes
  // the control from inside the notification hears OnInPlaceDeactivate.
  in_place_active_ = true;
  if (site_ex) {
    BOOL no_redraw = FALSE;
    site_ex->OnInPlaceActivateEx(&no_redraw, 0);
  } else {
    site->OnInPlaceActivate();
  }
  return Withdrawn(start) ? E_UNEXPECTED : S_OK;
}

HRESULT InPlaceHosting::ShowWindowInSite() noexcept {
  const ComPtr<IOleInPlaceSite> site = site_;
  const unsigned long start = withdrawals_;
  HWND parent = nullptr;
  const HRESULT found = site->GetWindow(&parent);
  if (Withdrawn(start)) return E_UNEXPECTED;
  if (FAILED(found)) return S_OK;
  ComPtr<IOleInPlaceFrame> frame;
  ComPtr<IOleInPlaceUIWindow> ui_window;
  RECT position = {};
  RECT clip = {};
  OLEINPLACEFRAMEINFO frame_info = {};
  frame_info.cb = sizeof frame_info;
  const HRESULT hr = site->GetWindowContext(frame.out(), ui_window.out(), &position, &clip,
                                            &frame_info);
  if (Withdrawn(start)) return E_UNEXPECTED;
  // Rectangles a failing container left unset must not place the window.
  if (FAILED(hr)) return hr;
  frame_ = std::move(frame);
  ui_window_ = std::move(ui_window);
  HWND window = owner_.ControlWindow();
  if (window) {
    ShowWindow(window, SW_SHOW);
  } else {
    window = owner_.CreateControlWindow(parent);
    if (!window) return E_FAIL;
    child_focus_.Watch(window);
    background_.Update(Ambient().get());
    if (Withdrawn(start)) {
      // Made while the container took the control out: nothing would destroy it.
      if (!in_place_active_ && IsWindow(window)) owner_.DestroyControlWindow();
      return E_UNEXPECTED;
    }
    return Place(&position, &clip, SWP_SHOWWINDOW);
  }
  return SetObjectRects(&position, &clip);
}

HRESULT InPlaceHosting::UIActivate() noexcept {
  if (ui_active_) return S_OK;
  const ComPtr<IOleInPlaceSite> site = site_;
  const unsigned long start = withdrawals_;
  // Deactivated, closed or UI-deactivated from inside a callback: stop there.
  const auto stopped = [&] { return !ui_active_ || Withdrawn(start); };
  ui_active_ = true;
  const HRESULT hr = site->OnUIActivate();
  if (FAILED(hr)) {
    ui_active_ = false;
    return hr;
  }
  if (stopped()) return E_UNEXPECTED;
  const HWND window = owner_.ControlWindow();
  if (window && !IsWithin(window, GetFocus())) SetFocus(window);
  if (stopped()) return E_UNEXPECTED;
  IOleInPlaceActiveObject* active = owner_.HostingActiveObject();
  const ComPtr<IOleInPlaceFrame> frame = frame_;
  const ComPtr<IOleInPlaceUIWindow> ui_window = ui_window_;
  if (frame) frame->SetActiveObject(active, nullptr);
  if (stopped()) return E_UNEXPECTED;
  if (ui_window) ui_window->SetActiveObject(active, nullptr);
  if (stopped()) return E_UNEXPECTED;
  // No tool space and no menus of its own.
  if (frame) frame->SetBorderSpace(nullptr);
  if (stopped()) return E_UNEXPECTED;
  if (ui_window) ui_window->SetBorderSpace(nullptr);
  return stopped() ? E_UNEXPECTED : S_OK;
}

HRESULT InPlaceHosting::InPlaceActivate(LONG verb) noexcept {
  if (!owner_.HostingClientSite()) return S_OK;
  const unsigned long start = withdrawals_;
  HRESULT hr = FindSite();
  if (FAILED(hr)) return hr;
  hr = ActivateInSite();
  if (FAILED(hr)) return hr;
  hr = ShowWindowInSite();
  if (FAILED(hr)) return hr;
  const bool no_ambient = owner_.HostingAmbientDispatch() == nullptr;
  if (verb == OLEIVERB_UIACTIVATE ||
      (no_ambient && (verb == OLEIVERB_SHOW || verb == OLEIVERB_INPLACEACTIVATE))) {
    hr = UIActivate();
    if (FAILED(hr)) return hr;
  }
  if (Withdrawn(start)) return E_UNEXPECTED;
  // Read anew: a callback may have handed the control another site, or none.
  if (const ComPtr<IOleClientSite> client(owner_.HostingClientSite()); client)
    client->ShowObject();
  return S_OK;
}

HRESULT InPlaceHosting::UIDeactivate() noexcept {
  last_focus_child_ = nullptr;
  if (!ui_active_) return S_OK;
  ui_active_ = false;
  const ComPtr<IOleInPlaceUIWindow> ui_window = ui_window_;
  const ComPtr<IOleInPlaceFrame> frame = frame_;
  const ComPtr<IOleInPlaceSite> site = site_;
  if (ui_window) ui_window->SetActiveObject(nullptr, nullptr);
  if (frame) frame->SetActiveObject(nullptr, nullptr);
  if (site) site->OnUIDeactivate(FALSE);
  return S_OK;
}

HRESULT InPlaceHosting::InPlaceDeactivate() noexcept {
  if (!in_place_active_) return S_OK;
  // The keyboard goes back to the container while the watch still reports
  // it: the site hears OnFocus(FALSE) for the OnFocus(TRUE) it was told.
  const HWND window = owner_.ControlWindow();
  if (focus_inside_ && window && IsWithin(window, GetFocus())) SetFocus(GetParent(window));
  if (!in_place_active_) return S_OK;  // the site's OnFocus may deactivate us
  // Inactive from here on: a Close from inside the calls below finds nothing
  // left to deactivate, and the site still hears the end.
  in_place_active_ = false;
  ++withdrawals_;
  const ComPtr<IOleInPlaceSite> site = site_;
  if (ui_active_) UIDeactivate();
  child_focus_.Stop();
  if (IsWindow(owner_.ControlWindow())) owner_.DestroyControlWindow();
  frame_.reset();
  ui_window_.reset();
  if (site) site->OnInPlaceDeactivate();
  return S_OK;
}

void InPlaceHosting::ReleaseSite() noexcept {
  ++withdrawals_;
  frame_.reset();
  ui_window_.reset();
  site_ex_.reset();
  site_.reset();
}

HRESULT InPlaceHosting::SetObjectRects(LPCRECT position, LPCRECT clip) noexcept {
  return Place(position, clip, 0);
}

HRESULT InPlaceHosting::Place(LPCRECT position, LPCRECT clip, UINT show_flag) noexcept {
  if (!position || !clip) return E_POINTER;
  position_ = *position;
  const HWND window = owner_.ControlWindow();
  if (!window) return S_OK;
  RECT visible = {};
  RegionHandle region;
  if (IntersectRect(&visible, position, clip) && !EqualRect(&visible, position)) {
    OffsetRect(&visible, -position->left, -position->top);
    region.reset(CreateRectRgnIndirect(&visible));
  }
  if (region || clipped_window_ == window) {
    // The window owns a region it accepts.
    if (SetWindowRgn(window, region.get(), TRUE)) {
      clipped_window_ = region ? window : nullptr;
      region.release();
    }
    if (owner_.ControlWindow() != window) return S_OK;  // gone while it took the region
  }
  SetWindowPos(window, nullptr, position->left, position->top, position->right - position->left,
               position->bottom - position->top, SWP_NOZORDER | SWP_NOACTIVATE | show_flag);
  return S_OK;
}

HRESULT InPlaceHosting::GetWindow(HWND* window) noexcept {
  if (!window) return E_POINTER;
  *window = owner_.ControlWindow();
  return *window ? S_OK : E_UNEXPECTED;
}

HRESULT InPlaceHosting::TranslateAccelerator(const MSG* message) noexcept {
  if (!message) return E_POINTER;
  MSG copy = *message;
  if (OfferToDialog(owner_.ControlWindow(), copy, last_focus_child_)) return S_OK;
  // Read only now: the dialog manager's work may have reached a host that
  // changed or dropped the site.
  const ComPtr<IOleControlSite> control_site = ControlSite();
  if (!control_site) return S_FALSE;
  return control_site->TranslateAccelerator(&copy, KeyModifiers()) == S_OK ? S_OK : S_FALSE;
}

HRESULT InPlaceHosting::OnAmbientPropertyChange(DISPID id) noexcept {
  if (id != DISPID_AMBIENT_BACKCOLOR) return S_OK;
  background_.Update(Ambient().get());
  RequestRepaint();
  return S_OK;
}

void InPlaceHosting::RequestRepaint() noexcept {
  const HWND window = owner_.ControlWindow();
  if (in_place_active_) {
    if (window) InvalidateRect(window, nullptr, TRUE);
    return;
  }
  owner_.HostingViewChanged();
}

ComPtr<IOleControlSite> InPlaceHosting::ControlSite() noexcept {
  ComPtr<IOleControlSite> control_site;
  const ComPtr<IOleClientSite> client(owner_.HostingClientSite());
  if (client) client->QueryInterface(IID_IOleControlSite, control_site.out_void());
  return control_site;
}

ComPtr<IOleControlSite> InPlaceHosting::FocusSite() noexcept {
  ComPtr<IOleControlSite> control_site;
  if (site_) site_->QueryInterface(IID_IOleControlSite, control_site.out_void());
  return control_site;
}
