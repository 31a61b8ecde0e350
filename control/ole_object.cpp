// IOleObject: the client site, what the registry says about the class
// (misc status, user type, verbs), the extent, advise sinks and Close.
// Verbs are the in-place hosting's.
#include <utility>

#include "control/activity_ctrl.h"

HRESULT STDMETHODCALLTYPE CActivityCtrl::SetClientSite(IOleClientSite* site) noexcept {
  const ComPtr<IUnknown> alive = KeepAlive();
  ComPtr<IDispatch> ambient;
  if (site) site->QueryInterface(IID_IDispatch, ambient.out_void());
  // The old site and its ambient dispatch are let go last: their final
  // release may call back into the control.
  ComPtr<IOleClientSite> old_site = std::exchange(client_site_, ComPtr<IOleClientSite>(site));
  ComPtr<IDispatch> old_ambient = std::exchange(ambient_dispatch_, std::move(ambient));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetClientSite(IOleClientSite** site) noexcept {
  if (!site) return E_POINTER;
  *site = client_site_.get();
  if (*site) (*site)->AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::SetHostNames(LPCOLESTR, LPCOLESTR) noexcept {
  return S_OK;
}

IOleAdviseHolder* CActivityCtrl::OleAdviseHolder() noexcept {
  if (!ole_advise_holder_) CreateOleAdviseHolder(ole_advise_holder_.out());
  return ole_advise_holder_.get();
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::Close(DWORD saveOption) noexcept {
  // Calls out to the site may drop the container's last reference, or the
  // site itself: each call goes to a counted copy.
  const ComPtr<IUnknown> alive = KeepAlive();
  if (const ComPtr<IOleClientSite> site = client_site_; site && page_.window())
    site->OnShowWindow(FALSE);
  HRESULT result = InPlaceDeactivate();
  if (FAILED(result)) return result;
  page_.DestroyPageWindow();
  if (Dirty && (saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE)) {
    if (const ComPtr<IOleClientSite> site = client_site_) site->SaveObject();
    if (const ComPtr<IOleAdviseHolder> holder = ole_advise_holder_) holder->SendOnSave();
  }
  hosting_.ReleaseSite();
  view_sink_.reset();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::SetMoniker(DWORD, IMoniker*) noexcept {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetMoniker(DWORD, DWORD, IMoniker** moniker) noexcept {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::InitFromData(IDataObject*, BOOL, DWORD) noexcept {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetClipboardData(DWORD, IDataObject** data) noexcept {
  if (data) *data = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite,
                                                LONG, HWND parent, LPCRECT) noexcept {
  // The container may release the control from inside a site callback.
  const ComPtr<IUnknown> alive = KeepAlive();
  return hosting_.DoVerb(verb, activeSite, parent);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::EnumVerbs(IEnumOLEVERB** verbs) noexcept {
  if (!verbs) return E_POINTER;
  return OleRegEnumVerbs(CLSID_ActivityCtrl, verbs);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::Update() noexcept { return S_OK; }

HRESULT STDMETHODCALLTYPE CActivityCtrl::IsUpToDate() noexcept { return S_OK; }

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetUserClassID(CLSID* clsid) noexcept {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_ActivityCtrl;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetUserType(DWORD form, LPOLESTR* name) noexcept {
  if (!name) return E_POINTER;
  return OleRegGetUserType(CLSID_ActivityCtrl, form, name);
}

HRESULT CActivityCtrl::SetContentSize(DWORD aspect, const SIZEL* size) noexcept {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  // Only remembered: the container sizes the window, and a new size is not
  // a change that a save would have to write.
  Extent.Set(*size);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::SetExtent(DWORD aspect, SIZEL* size) noexcept {
  return SetContentSize(aspect, size);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetExtent(DWORD aspect, SIZEL* size) noexcept {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return E_FAIL;
  *size = Extent.Get();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::Advise(IAdviseSink* sink, DWORD* connection) noexcept {
  if (!connection) return E_POINTER;
  *connection = 0;
  IOleAdviseHolder* holder = OleAdviseHolder();
  if (!holder) return E_OUTOFMEMORY;
  return holder->Advise(sink, connection);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::Unadvise(DWORD connection) noexcept {
  if (!ole_advise_holder_) return OLE_E_NOCONNECTION;
  return ole_advise_holder_->Unadvise(connection);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::EnumAdvise(IEnumSTATDATA** advises) noexcept {
  if (!advises) return E_POINTER;
  *advises = nullptr;
  IOleAdviseHolder* holder = OleAdviseHolder();
  if (!holder) return E_OUTOFMEMORY;
  return holder->EnumAdvise(advises);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetMiscStatus(DWORD aspect, DWORD* status) noexcept {
  if (!status) return E_POINTER;
  return OleRegGetMiscStatus(CLSID_ActivityCtrl, aspect, status);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::SetColorScheme(LOGPALETTE*) noexcept { return E_NOTIMPL; }
