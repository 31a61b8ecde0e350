#pragma once
// Refills a list box without repainting it once per row: redraw is suspended,
// storage reserved, the rows added in order, and the list repainted once.
#include <windows.h>

#include <string>

// `format(index, row)` writes the text of row `index` into `row`. `bytes` is
// a guess of the rows' total text size, for the storage reservation. May
// throw std::bad_alloc; the list is repainted either way.
template <class Format>
void FillListBox(HWND list, size_t rows, size_t bytes, Format&& format) {
  if (!list) return;
  struct Redraw {
    HWND list;
    ~Redraw() {
      SendMessageA(list, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(list, nullptr, TRUE);
    }
  };
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  Redraw redraw{list};
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  if (rows == 0) return;
  SendMessageA(list, LB_INITSTORAGE, rows, bytes);
  std::string row;
  for (size_t index = 0; index < rows; ++index) {
    row.clear();
    format(index, row);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
  }
}
