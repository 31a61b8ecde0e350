#include "framework/dialog_items.h"

DialogItems::DialogItems(HWND dialog) noexcept : dialog_(dialog) {
  if (dialog) EnumChildWindows(dialog, &Note, reinterpret_cast<LPARAM>(this));
}

BOOL CALLBACK DialogItems::Note(HWND child, LPARAM items) noexcept {
  auto* self = reinterpret_cast<DialogItems*>(items);
  // Grandchildren (a control's own windows) are no dialog items.
  if (GetParent(child) != self->dialog_) return TRUE;
  if (self->count_ == kMost) {
    self->complete_ = false;
    return FALSE;
  }
  self->items_[self->count_++] = {GetDlgCtrlID(child), child};
  return TRUE;
}

HWND DialogItems::operator[](int id) const noexcept {
  for (size_t i = 0; i < count_; ++i)
    if (items_[i].id == id) return items_[i].window;
  return complete_ || !dialog_ ? nullptr : GetDlgItem(dialog_, id);
}
