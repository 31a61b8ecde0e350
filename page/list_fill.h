#pragma once
// Refills a list box without repainting it once per row: redraw is suspended,
// storage reserved, the rows added in order, and the list repainted once.
#include <windows.h>

#include <string>

// `format(index, row)` writes the text of row `index` into `row`. `units` is
// a guess of the rows' total text size, for the storage reservation. Adding
// stops at the first row the list refuses, so row k always shows entry k.
// May throw std::bad_alloc; the list is repainted either way.
template <class Format>
void FillListBox(HWND list, size_t rows, size_t units, Format&& format) {
  if (!list) return;
  struct Redraw {
    HWND list;
    ~Redraw() {
      SendMessageW(list, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(list, nullptr, TRUE);
    }
  };
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  Redraw redraw{list};
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  if (rows == 0) return;
  SendMessageW(list, LB_INITSTORAGE, rows, units * sizeof(wchar_t));
  std::wstring row;
  for (size_t index = 0; index < rows; ++index) {
    row.clear();
    format(index, row);
    if (SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str())) < 0) return;
  }
}
