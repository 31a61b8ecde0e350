#include "framework/in_place_hosting.h"

#include <olectl.h>

#include "framework/focus_tracking.h"
#include "framework/handles.h"
#include "framework/keyboard_division.h"

HRESULT InPlaceHosting::FindSite() noexcept {
  if (site_) return S_OK;
  IOleClientSite* client = owner_.HostingClientSite();
  // Never the windowless form: the control always has a window of its own.
  if (SUCCEEDED(client->QueryInterface(IID_IOleInPlaceSiteEx, site_ex_.out_void()))) {
    site_.reset(site_ex_.get());
    return S_OK;
  }
  if (SUCCEEDED(client->QueryInterface(IID_IOleInPlaceSite, site_.out_void()))) return S_OK;
  return E_FAIL;
}

HRESULT InPlaceHosting::ActivateInSite() noexcept {
  if (in_place_active_) return S_OK;
  if (site_ex_) {
    BOOL noRedraw = FALSE;
    site_ex_->OnInPlaceActivateEx(&noRedraw, 0);
  } else {
    const HRESULT hr = site_->CanInPlaceActivate();
    if (FAILED(hr)) return hr;
    if (hr != S_OK) return E_FAIL;
    site_->OnInPlaceActivate();
  }
  in_place_active_ = true;
  return S_OK;
}

HRESULT InPlaceHosting::ShowWindowInSite() noexcept {
  HWND parent = nullptr;
  if (FAILED(site_->GetWindow(&parent))) return S_OK;
  RECT position = {};
  RECT clip = {};
  OLEINPLACEFRAMEINFO frameInfo = {};
  frameInfo.cb = sizeof frameInfo;
  // Rectangles a failing container left unset must not place the window.
  const HRESULT hr = site_->GetWindowContext(frame_.out(), ui_window_.out(), &position, &clip,
                                             &frameInfo);
  if (FAILED(hr)) return hr;
  HWND window = owner_.ControlWindow();
  if (window) {
    ShowWindow(window, SW_SHOW);
  } else {
    window = owner_.CreateControlWindow(parent);
    if (!window) return E_FAIL;
    child_focus_.Watch(window);
    background_.Update(owner_.HostingAmbientDispatch());
    ShowWindow(window, SW_SHOWNOACTIVATE);
  }
  return SetObjectRects(&position, &clip);
}

HRESULT InPlaceHosting::UIActivate() noexcept {
  if (ui_active_) return S_OK;
  ui_active_ = true;
  const HRESULT hr = site_->OnUIActivate();
  if (FAILED(hr)) {
    ui_active_ = false;
    return hr;
  }
  const HWND window = owner_.ControlWindow();
  if (window && !IsWithin(window, GetFocus())) SetFocus(window);
  IOleInPlaceActiveObject* active = owner_.HostingActiveObject();
  if (frame_) frame_->SetActiveObject(active, nullptr);
  if (ui_window_) ui_window_->SetActiveObject(active, nullptr);
  // No tool space and no menus of its own.
  if (frame_) frame_->SetBorderSpace(nullptr);
  if (ui_window_) ui_window_->SetBorderSpace(nullptr);
  return S_OK;
}

HRESULT InPlaceHosting::InPlaceActivate(LONG verb) noexcept {
  IOleClientSite* client = owner_.HostingClientSite();
  if (!client) return S_OK;
  HRESULT hr = FindSite();
  if (FAILED(hr)) return hr;
  hr = ActivateInSite();
  if (FAILED(hr)) return hr;
  hr = ShowWindowInSite();
  if (FAILED(hr)) return hr;
  const bool noAmbient = owner_.HostingAmbientDispatch() == nullptr;
  if (verb == OLEIVERB_UIACTIVATE ||
      (noAmbient && (verb == OLEIVERB_SHOW || verb == OLEIVERB_INPLACEACTIVATE))) {
    hr = UIActivate();
    if (FAILED(hr)) return hr;
  }
  client->ShowObject();
  return S_OK;
}

HRESULT InPlaceHosting::UIDeactivate() noexcept {
  last_focus_child_ = nullptr;
  if (!ui_active_) return S_OK;
  ui_active_ = false;
  if (ui_window_) ui_window_->SetActiveObject(nullptr, nullptr);
  if (frame_) frame_->SetActiveObject(nullptr, nullptr);
  if (site_) site_->OnUIDeactivate(FALSE);
  return S_OK;
}

HRESULT InPlaceHosting::InPlaceDeactivate() noexcept {
  if (!in_place_active_) return S_OK;
  // The keyboard goes back to the container while the watch still reports
  // it: the site hears OnFocus(FALSE) for the OnFocus(TRUE) it was told.
  const HWND window = owner_.ControlWindow();
  if (focus_inside_ && window && IsWithin(window, GetFocus())) SetFocus(GetParent(window));
  if (!in_place_active_) return S_OK;  // the site's OnFocus may deactivate us
  if (ui_active_) UIDeactivate();
  in_place_active_ = false;
  child_focus_.Stop();
  if (IsWindow(owner_.ControlWindow())) owner_.DestroyControlWindow();
  frame_.reset();
  ui_window_.reset();
  if (site_) site_->OnInPlaceDeactivate();
  return S_OK;
}

void InPlaceHosting::ReleaseSite() noexcept {
  frame_.reset();
  ui_window_.reset();
  site_ex_.reset();
  site_.reset();
}

HRESULT InPlaceHosting::SetObjectRects(LPCRECT position, LPCRECT clip) noexcept {
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
  // The window owns a region it accepts.
  if (SetWindowRgn(window, region.get(), TRUE)) region.release();
  SetWindowPos(window, nullptr, position->left, position->top, position->right - position->left,
               position->bottom - position->top, SWP_NOZORDER | SWP_NOACTIVATE);
  return S_OK;
}

HRESULT InPlaceHosting::GetWindow(HWND* window) noexcept {
  if (!window) return E_POINTER;
  *window = owner_.ControlWindow();
  return *window ? S_OK : E_UNEXPECTED;
}

HRESULT InPlaceHosting::TranslateAccelerator(const MSG* message) noexcept {
  if (!message) return E_POINTER;
  return DivideKeystroke(owner_.ControlWindow(), *message, owner_.HostingClientSite(),
                         last_focus_child_);
}

HRESULT InPlaceHosting::OnAmbientPropertyChange(DISPID id) noexcept {
  if (id != DISPID_AMBIENT_BACKCOLOR) return S_OK;
  background_.Update(owner_.HostingAmbientDispatch());
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
  ComPtr<IOleControlSite> controlSite;
  IOleClientSite* client = owner_.HostingClientSite();
  if (client) client->QueryInterface(IID_IOleControlSite, controlSite.out_void());
  return controlSite;
}

ComPtr<IOleControlSite> InPlaceHosting::FocusSite() noexcept {
  ComPtr<IOleControlSite> controlSite;
  if (site_) site_->QueryInterface(IID_IOleControlSite, controlSite.out_void());
  return controlSite;
}
