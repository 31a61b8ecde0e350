// IOleWindow, IOleInPlaceActiveObject and IOleInPlaceObject(Windowless): the
// in-place hosting answers; the control only passes the calls on.
#include "control/activity_ctrl.h"

void CActivityCtrl::HostingViewChanged() noexcept {
  // A counted copy: the sink may be replaced from inside its own notification.
  if (const ComPtr<IAdviseSink> sink = view_sink_) sink->OnViewChange(DVASPECT_CONTENT, -1);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetWindow(HWND* window) noexcept {
  return hosting_.GetWindow(window);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::ContextSensitiveHelp(BOOL) noexcept { return E_NOTIMPL; }

// Every call below that may reach the container or the host holds a reference:
// the dialog manager turns keystrokes into host calls, and a host may close
// and release the control from inside any of them.
HRESULT STDMETHODCALLTYPE CActivityCtrl::TranslateAccelerator(LPMSG message) noexcept {
  const ComPtr<IUnknown> alive = KeepAlive();
  return hosting_.TranslateAccelerator(message);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::OnFrameWindowActivate(BOOL) noexcept { return S_OK; }

HRESULT STDMETHODCALLTYPE CActivityCtrl::OnDocWindowActivate(BOOL activate) noexcept {
  const ComPtr<IUnknown> alive = KeepAlive();
  if (!activate) hosting_.UIDeactivate();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*,
                                                      BOOL) noexcept {
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::EnableModeless(BOOL) noexcept { return S_OK; }

HRESULT STDMETHODCALLTYPE CActivityCtrl::InPlaceDeactivate() noexcept {
  const ComPtr<IUnknown> alive = KeepAlive();
  return hosting_.InPlaceDeactivate();
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::UIDeactivate() noexcept {
  const ComPtr<IUnknown> alive = KeepAlive();
  return hosting_.UIDeactivate();
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::SetObjectRects(LPCRECT position, LPCRECT clip) noexcept {
  const ComPtr<IUnknown> alive = KeepAlive();
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
