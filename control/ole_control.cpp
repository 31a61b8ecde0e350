// IOleControl: the control has no accelerators or mnemonics of its own and
// fires no events, so only the freeze count is kept.
#include "control/activity_ctrl.h"

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetControlInfo(CONTROLINFO*) noexcept {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::OnMnemonic(MSG*) noexcept { return E_NOTIMPL; }

// Only the background colour follows the container; the hosting takes it over.
HRESULT STDMETHODCALLTYPE CActivityCtrl::OnAmbientPropertyChange(DISPID id) noexcept {
  const ComPtr<IUnknown> alive = KeepAlive();  // the ambient dispatch is called
  return hosting_.OnAmbientPropertyChange(id);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::FreezeEvents(BOOL freeze) noexcept {
  FreezeCount += freeze ? 1 : -1;
  return S_OK;
}
