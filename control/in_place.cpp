// IOleWindow, IOleInPlaceActiveObject and IOleInPlaceObject(Windowless): the
// in-place hosting answers; the control only passes the calls on.
#include "control/activity_ctrl.h"

void CActivityCtrl::HostingViewChanged() noexcept {
  if (view_sink_) view_sink_->OnViewChange(DVASPECT_CONTENT, -1);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetWindow(HWND* window) noexcept {
  return hosting_.GetWindow(window);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::ContextSensitiveHelp(BOOL) noexcept { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CActivityCtrl::TranslateAccelerator(LPMSG message) noexcept {
  return hosting_.TranslateAccelerator(message);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::OnFrameWindowActivate(BOOL) noexcept { return S_OK; }

HRESULT STDMETHODCALLTYPE CActivityCtrl::OnDocWindowActivate(BOOL activate) noexcept {
  if (!activate) hosting_.UIDeactivate();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*,
                                                      BOOL) noexcept {
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::EnableModeless(BOOL) noexcept { return S_OK; }

HRESULT STDMETHODCALLTYPE CActivityCtrl::InPlaceDeactivate() noexcept {
  // The site's OnInPlaceDeactivate may drop the container's last reference.
  ComPtr<IUnknown> alive(controlling_);
  return hosting_.InPlaceDeactivate();
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::UIDeactivate() noexcept {
  return hosting_.UIDeactivate();
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::SetObjectRects(LPCRECT position, LPCRECT clip) noexcept {
  return hosting_.SetObjectRects(position, clip);
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
