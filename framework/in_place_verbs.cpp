// The verb table of IOleObject::DoVerb and the properties verb.
#include <olectl.h>

#include "framework/ambient_properties.h"
#include "framework/in_place_hosting.h"

namespace {
PropertyFrameFunction g_property_frame = &OleCreatePropertyFrame;

ComPtr<IUnknown> Identity(IUnknown* object) noexcept {
  ComPtr<IUnknown> identity;
  if (object) object->QueryInterface(IID_IUnknown, identity.out_void());
  return identity;
}

// Frees what ISpecifyPropertyPages handed out.
struct PageList {
  CAUUID pages = {0, nullptr};
  ~PageList() { CoTaskMemFree(pages.pElems); }
};

struct TaskString {
  LPOLESTR text = nullptr;
  ~TaskString() { CoTaskMemFree(text); }
};
}  // namespace

PropertyFrameFunction SetPropertyFrameFunction(PropertyFrameFunction function) noexcept {
  const PropertyFrameFunction previous = g_property_frame;
  g_property_frame = function;
  return previous;
}

HRESULT InPlaceHosting::ShowProperties(HWND parent) noexcept {
  ComPtr<IOleControlSite> control_site = ControlSite();
  if (control_site && SUCCEEDED(control_site->ShowPropertyFrame())) return S_OK;

  IUnknown* object = owner_.HostingIdentity();
  PageList pages;
  ComPtr<ISpecifyPropertyPages> specify;
  if (SUCCEEDED(object->QueryInterface(IID_ISpecifyPropertyPages, specify.out_void())) &&
      FAILED(specify->GetPages(&pages.pages)))
    pages.pages = {0, nullptr};
  TaskString caption;
  owner_.GetUserType(USERCLASSTYPE_SHORT, &caption.text);
  return g_property_frame(parent, 0, 0, caption.text, 1, &object, pages.pages.cElems,
                          pages.pages.pElems, AmbientLocale(Ambient().get()), 0,
                          nullptr);
}

HRESULT InPlaceHosting::DoVerb(LONG verb, IOleClientSite* activeSite, HWND parent) noexcept {
  if (Identity(activeSite).get() != Identity(owner_.HostingClientSite()).get())
    return E_UNEXPECTED;

  if (verb >= OLEIVERB_PRIMARY) {
    bool user_mode = true;
    HRESULT hr;
    if (SUCCEEDED(ReadAmbientUserMode(Ambient().get(), user_mode)) && !user_mode) {
      hr = ShowProperties(parent);
    } else {
      hr = InPlaceActivate(OLEIVERB_INPLACEACTIVATE);
      if (SUCCEEDED(hr)) RequestRepaint();
    }
    // A failure stays a failure, also for a verb the control does not know.
    if (verb == OLEIVERB_PRIMARY || FAILED(hr)) return hr;
    return OLEOBJ_S_INVALIDVERB;
  }

  switch (verb) {
    case OLEIVERB_SHOW:
      return InPlaceActivate(OLEIVERB_SHOW);
    case OLEIVERB_OPEN:
    case OLEIVERB_DISCARDUNDOSTATE:
      return S_OK;
    case OLEIVERB_HIDE: {
      UIDeactivate();
      const HWND window = owner_.ControlWindow();
      if (window) ShowWindow(window, SW_HIDE);
      return S_OK;
    }
    case OLEIVERB_UIACTIVATE:
      if (ui_active_) return S_OK;
      return InPlaceActivate(OLEIVERB_UIACTIVATE);
    case OLEIVERB_INPLACEACTIVATE: {
      const HRESULT hr = InPlaceActivate(OLEIVERB_INPLACEACTIVATE);
      if (SUCCEEDED(hr)) RequestRepaint();
      return hr;
    }
    case OLEIVERB_PROPERTIES:
      return ShowProperties(parent);
    default:
      return E_NOTIMPL;
  }
}
