// What the control says about itself beyond its interfaces: error-info
// support, its (empty) property pages, and its class and event interface.
#include "control/activity_ctrl.h"

HRESULT STDMETHODCALLTYPE CActivityCtrl::InterfaceSupportsErrorInfo(REFIID iid) noexcept {
  return IsEqualIID(iid, IID_IHvActivityCtrl) ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetPages(CAUUID* pages) noexcept {
  if (!pages) return E_POINTER;
  pages->cElems = 0;
  // An empty list is still an allocated one: the caller frees it.
  pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
  return pages->pElems ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetClassInfo(ITypeInfo** info) noexcept {
  if (!info) return E_POINTER;
  return g_activity_ctrl_class_info.Get(kPellwickLibLcid, info);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetGUID(DWORD kind, GUID* guid) noexcept {
  if (!guid) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
    *guid = GUID_NULL;
    return E_INVALIDARG;
  }
  *guid = DIID_IHvActivityCtrlEvents;
  return S_OK;
}
