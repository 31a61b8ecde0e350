#pragma once
// A modeless child dialog bound to a C++ object. The object outlives its
// window: destroying the window leaves the object usable, and the object must
// call Destroy() before it goes.
#include <windows.h>

class DialogWindow {
 public:
  DialogWindow() noexcept = default;
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;

  HWND window() const noexcept { return window_; }

  // Creates the dialog `template_id` of `module` as a child of `parent`, hidden
  // as the template says. Returns null when no window comes back or binding
  // failed (the window is then destroyed and the thread's last error holds
  // the creation error). Fails at once while a window is bound.
  HWND Create(HINSTANCE module, int template_id, HWND parent) noexcept;
  // Destroys the bound window, if any; afterwards window() is null.
  void Destroy() noexcept;

 protected:
  ~DialogWindow();

  // The object's message map; returns TRUE when it handled the message and
  // stored its result. Map 0 is the default map. Anything unhandled gets the
  // dialog's default processing.
  virtual BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT& result, DWORD map_id) noexcept = 0;
  // Runs on WM_INITDIALOG before the map sees it; a failure ends the creation.
  virtual HRESULT CreateEmbeddedControls() noexcept { return S_OK; }
  // The window is gone (WM_NCDESTROY); window() is already null.
  virtual void OnWindowDestroyed() noexcept {}

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;

  HWND window_ = nullptr;
  HRESULT creation_error_ = S_OK;
};
