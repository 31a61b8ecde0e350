#pragma once
// The focus crossing the edge of a window through its descendants. A dialog's
// controls take and lose the focus themselves, so the dialog window hears no
// WM_SETFOCUS or WM_KILLFOCUS when a click, a mnemonic or a container's
// SetFocus reaches one of them, or when the focus leaves one for the
// container. The watch subclasses the descendants (through user32 alone, so
// the module needs no comctl32) and reports each crossing. A watch and the
// windows it watches belong to one thread; watches on several threads may run
// at once. The subclass finds its forwarding record in a process-wide table
// hashed by window handle rather than a window property or the user data:
// both are a wineserver request under Wine, and every message a watched child
// gets needs its record, however many pages the process keeps open.
#include <windows.h>

// Told of the focus crossing the watched window's edge at a descendant.
class FocusCrossingListener {
 public:
  // A descendant got the focus from a window outside (or from none).
  virtual void OnFocusEntered() noexcept = 0;
  // A descendant lost the focus to a window outside (or to none).
  virtual void OnFocusLeft() noexcept = 0;

 protected:
  ~FocusCrossingListener() = default;
};

class ChildFocusWatch {
 public:
  explicit ChildFocusWatch(FocusCrossingListener& listener) noexcept : listener_(listener) {}
  ~ChildFocusWatch() { Stop(); }
  ChildFocusWatch(const ChildFocusWatch&) = delete;
  ChildFocusWatch& operator=(const ChildFocusWatch&) = delete;

  // Watches the descendants `window` has now, and stops watching any other
  // window. A descendant that cannot be watched (no memory for its record) is
  // left as it is.
  void Watch(HWND window) noexcept;
  // Gives the watched descendants that are still there their own procedure
  // back; a destroyed descendant has already been given it.
  void Stop() noexcept;

 private:
  static LRESULT CALLBACK WatchedChildProc(HWND child, UINT message, WPARAM wParam,
                                           LPARAM lParam) noexcept;
  static BOOL CALLBACK WatchChild(HWND child, LPARAM watch) noexcept;
  void OnChildFocusMessage(UINT message, HWND other_window) noexcept;

  FocusCrossingListener& listener_;
  HWND window_ = nullptr;
};
