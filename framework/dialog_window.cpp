#include "dialog_window.h"

namespace {
// Messages whose dialog-procedure result is the message result itself.
bool ReturnsResultDirectly(UINT message) noexcept {
  switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
      return true;
    default:
      return false;
  }
}
}  // namespace

DialogWindow::~DialogWindow() {
  // The derived map is gone by now: unbind first, so the window's last
  // messages get default processing only.
  if (!window_) return;
  SetWindowLongPtrW(window_, DWLP_USER, 0);
  DestroyWindow(window_);
  window_ = nullptr;
}

HWND DialogWindow::Create(HINSTANCE module, int template_id, HWND parent) noexcept {
  if (window_) return nullptr;
  creation_error_ = S_OK;
  // A Unicode dialog: its controls show and return the text exactly. The
  // object travels with WM_INITDIALOG, not in thread-local state, whose
  // first use in a thread can fail for lack of memory with no way to report it.
  HWND created = CreateDialogParamW(module, MAKEINTRESOURCEW(template_id), parent,
                                    &DialogWindow::DialogProc, reinterpret_cast<LPARAM>(this));
  if (created && FAILED(creation_error_)) {
    const HRESULT error = creation_error_;
    DestroyWindow(created);
    SetLastError(static_cast<DWORD>(error));
    return nullptr;
  }
  if (created && created != window_) {
    // Never bound to this object: nothing may keep it.
    DestroyWindow(created);
    return nullptr;
  }
  return created;
}

void DialogWindow::Destroy() noexcept {
  if (window_) DestroyWindow(window_);
}

INT_PTR CALLBACK DialogWindow::DialogProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) noexcept {
  auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!self) {
    // Messages before WM_INITDIALOG (the font) get default processing.
    if (message != WM_INITDIALOG || !lParam) return FALSE;
    self = reinterpret_cast<DialogWindow*>(lParam);
    self->window_ = window;
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
  }

  if (message == WM_INITDIALOG) {
    self->creation_error_ = self->CreateEmbeddedControls();
    if (FAILED(self->creation_error_)) return FALSE;
  }

  LRESULT result = 0;
  const BOOL handled = self->ProcessWindowMessage(window, message, wParam, lParam, result, 0);

  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, DWLP_USER, 0);
    self->window_ = nullptr;
    self->OnWindowDestroyed();
  }
  if (!handled) return FALSE;
  if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
  SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
  return TRUE;
}
