// IOleControl: the control has no accelerators or mnemonics of its own and
// fires no events, so only the freeze count is kept.
#include "page/activity_ctrl.h"

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetControlInfo(CONTROLINFO*) noexcept {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::OnMnemonic(MSG*) noexcept { return E_NOTIMPL; }

// The background colour follows the container's once the control has a
// window of its own (in-place hosting); every other change is of no concern.
HRESULT STDMETHODCALLTYPE CActivityCtrl::OnAmbientPropertyChange(DISPID) noexcept { return S_OK; }

HRESULT STDMETHODCALLTYPE CActivityCtrl::FreezeEvents(BOOL freeze) noexcept {
  FreezeCount += freeze ? 1 : -1;
  return S_OK;
}
