// IOleWindow, IOleInPlaceActiveObject and IOleInPlaceObject(Windowless)
// before in-place activation exists: the control is never in-place or UI
// active, so there is nothing to deactivate and no keystroke to take, and it
// has a window only while the page window was made directly.
#include "page/activity_ctrl.h"

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetWindow(HWND* window) noexcept {
  if (!window) return E_POINTER;
  *window = DialogWindow::window();
  return *window ? S_OK : E_UNEXPECTED;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::ContextSensitiveHelp(BOOL) noexcept { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CActivityCtrl::TranslateAccelerator(LPMSG message) noexcept {
  if (!message) return E_POINTER;
  return S_FALSE;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::OnFrameWindowActivate(BOOL) noexcept { return S_OK; }

HRESULT STDMETHODCALLTYPE CActivityCtrl::OnDocWindowActivate(BOOL activate) noexcept {
  if (!activate) return UIDeactivate();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*,
                                                      BOOL) noexcept {
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::EnableModeless(BOOL) noexcept { return S_OK; }

HRESULT STDMETHODCALLTYPE CActivityCtrl::InPlaceDeactivate() noexcept { return S_OK; }

HRESULT STDMETHODCALLTYPE CActivityCtrl::UIDeactivate() noexcept { return S_OK; }

HRESULT STDMETHODCALLTYPE CActivityCtrl::SetObjectRects(LPCRECT position, LPCRECT clip) noexcept {
  if (!position || !clip) return E_POINTER;
  position_ = *position;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::ReactivateAndUndo() noexcept { return E_NOTIMPL; }

// The control always has a window of its own, so no message comes this way.
HRESULT STDMETHODCALLTYPE CActivityCtrl::OnWindowMessage(UINT, WPARAM, LPARAM,
                                                         LRESULT* result) noexcept {
  if (result) *result = 0;
  return S_FALSE;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetDropTarget(IDropTarget** target) noexcept {
  if (target) *target = nullptr;
  return E_NOTIMPL;
}
