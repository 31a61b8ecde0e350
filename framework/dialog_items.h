#pragma once
// A dialog's controls by identifier, found in one pass over its children:
// under Wine each GetDlgItem is a wineserver request, and a page that keeps a
// dozen handles when it is made would make a dozen of them; listing the
// children is one.
#include <windows.h>

#include <cstddef>

class DialogItems {
 public:
  explicit DialogItems(HWND dialog) noexcept;
  DialogItems(const DialogItems&) = delete;
  DialogItems& operator=(const DialogItems&) = delete;

  // As GetDlgItem: the first direct child with identifier `id`, or null.
  HWND operator[](int id) const noexcept;

 private:
  static BOOL CALLBACK Note(HWND child, LPARAM items) noexcept;

  // Enough for the page's sixteen; a dialog with more children than this
  // asks GetDlgItem for any identifier not among the first ones.
  static constexpr size_t kMost = 32;
  struct Item {
    int id;
    HWND window;
  };
  HWND dialog_;
  Item items_[kMost] = {};
  size_t count_ = 0;
  bool complete_ = true;
};
