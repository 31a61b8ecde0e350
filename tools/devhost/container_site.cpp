#include "container_site.h"

HRESULT InPlaceFrame::QueryInterface(REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid != IID_IUnknown && iid != IID_IOleWindow && iid != IID_IOleInPlaceUIWindow &&
      iid != IID_IOleInPlaceFrame)
    return E_NOINTERFACE;
  *object = static_cast<IOleInPlaceFrame*>(this);
  AddRef();
  return S_OK;
}

HRESULT InPlaceFrame::GetWindow(HWND* window) noexcept { return site_.GetWindow(window); }

HRESULT InPlaceFrame::TranslateAccelerator(LPMSG message, WORD) noexcept {
  return site_.TranslateAccelerator(message, 0);
}

HRESULT ContainerSite::QueryInterface(REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IOleClientSite)
    *object = static_cast<IOleClientSite*>(this);
  else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
    *object = static_cast<IOleInPlaceSite*>(this);
  else if (iid == IID_IOleControlSite)
    *object = static_cast<IOleControlSite*>(this);
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

HRESULT ContainerSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) noexcept {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT ContainerSite::GetContainer(IOleContainer** container) noexcept {
  if (container) *container = nullptr;
  return E_NOINTERFACE;
}

HRESULT ContainerSite::GetWindow(HWND* window) noexcept {
  if (!window) return E_POINTER;
  *window = window_;
  return S_OK;
}

HRESULT ContainerSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                        LPRECT position_out, LPRECT clip,
                                        LPOLEINPLACEFRAMEINFO info) noexcept {
  if (!frame || !document || !position_out || !clip || !info) return E_POINTER;
  *frame = &frame_;
  frame_.AddRef();
  *document = nullptr;
  *position_out = position;
  GetClientRect(window_, clip);
  info->fMDIApp = FALSE;
  info->hwndFrame = window_;
  info->haccel = accelerators_;
  info->cAccelEntries = accelerators_ ? CopyAcceleratorTableA(accelerators_, nullptr, 0) : 0;
  return S_OK;
}

HRESULT ContainerSite::GetExtendedControl(IDispatch** control) noexcept {
  if (control) *control = nullptr;
  return E_NOTIMPL;
}

HRESULT ContainerSite::TranslateAccelerator(MSG* message, DWORD) noexcept {
  if (!message || !accelerators_) return S_FALSE;
  return ::TranslateAcceleratorA(window_, accelerators_, message) ? S_OK : S_FALSE;
}
