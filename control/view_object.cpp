// IViewObjectEx: the control's whole face is its page window, so a drawing
// of it is empty; it reports an opaque, solid view, its extents, and keeps
// one view advise sink.
#include "control/activity_ctrl.h"

HRESULT STDMETHODCALLTYPE CActivityCtrl::Draw(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, HDC,
                                              LPCRECTL, LPCRECTL,
                                              BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                                              ULONG_PTR) noexcept {
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                                                     LOGPALETTE** colors) noexcept {
  if (colors) *colors = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::Freeze(DWORD, LONG, void*, DWORD* freeze) noexcept {
  if (freeze) *freeze = 0;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::Unfreeze(DWORD) noexcept { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CActivityCtrl::SetAdvise(DWORD aspects, DWORD flags,
                                                   IAdviseSink* sink) noexcept {
  const ComPtr<IUnknown> alive = KeepAlive();  // the old sink's release may call back
  view_sink_.reset(sink);
  view_aspects_ = aspects;
  view_flags_ = flags;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetAdvise(DWORD* aspects, DWORD* flags,
                                                   IAdviseSink** sink) noexcept {
  if (aspects) *aspects = view_aspects_;
  if (flags) *flags = view_flags_;
  if (sink) {
    *sink = view_sink_.get();
    if (*sink) (*sink)->AddRef();
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetExtent(DWORD, LONG, DVTARGETDEVICE*,
                                                   LPSIZEL size) noexcept {
  if (!size) return E_POINTER;
  *size = Extent.Get();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetRect(DWORD, LPRECTL) noexcept { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetViewStatus(DWORD* status) noexcept {
  if (!status) return E_POINTER;
  *status = VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::QueryHitPoint(DWORD aspect, LPCRECT bounds,
                                                       POINT location, LONG,
                                                       DWORD* hit) noexcept {
  if (!bounds || !hit) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return E_FAIL;
  *hit = PtInRect(bounds, location) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::QueryHitRect(DWORD aspect, LPCRECT bounds,
                                                      LPCRECT location, LONG,
                                                      DWORD* hit) noexcept {
  if (!bounds || !location || !hit) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return E_FAIL;
  RECT common;
  *hit = IntersectRect(&common, bounds, location) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetNaturalExtent(DWORD aspect, LONG, DVTARGETDEVICE*,
                                                          HDC, DVEXTENTINFO* extentInfo,
                                                          LPSIZEL size) noexcept {
  if (!extentInfo || !size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT || extentInfo->dwExtentMode != DVEXTENT_CONTENT) return E_FAIL;
  *size = NaturalExtent;
  return S_OK;
}
