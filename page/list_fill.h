#pragma once
// Refills a list box without repainting it once per row: redraw is suspended,
// storage reserved, the rows added in order, and the list repainted once.
#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "framework/sse2.h"

// Copies `units` to `row` and returns where they end. Inline on purpose: the
// C library's copy is a call into another DLL for every field of every row.
// Where the processor allows it, eight units a step and then the last eight
// again, overlapping: a unit-by-unit tail of varying length costs mispredicted
// branches on every field.
inline wchar_t* AppendUnits(wchar_t* row, std::wstring_view units) noexcept {
  const wchar_t* from = units.data();
  const size_t count = units.size();
#if PELLWICK_HAS_SSE2
  if constexpr (sizeof(wchar_t) == 2) {
    if (count >= 8) {
      const auto copy8 = [row, from](size_t at) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + at),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + at)));
      };
      for (size_t at = 0; at + 8 < count; at += 8) copy8(at);
      copy8(count - 8);
      return row + count;
    }
  }
#endif
  for (size_t at = 0; at < count; ++at) row[at] = from[at];
  return row + count;
}

// A literal's length is known here: a view made from it at the call would ask
// wcslen for it on every row.
template <size_t N>
inline wchar_t* AppendUnits(wchar_t* row, const wchar_t (&literal)[N]) noexcept {
  return AppendUnits(row, std::wstring_view(literal, N - 1));
}

// `bound(index)` is at least the length of row `index`, and their sum the
// storage reservation; `format(index, row)` writes the text of row `index`
// from `row` on, into one buffer reused for every row, and returns where it
// ends. Adding stops at the first row the list refuses, so row k always shows
// entry k. May throw std::bad_alloc; the list is repainted either way.
template <class Bound, class Format>
void FillListBox(HWND list, size_t rows, Bound&& bound, Format&& format) {
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
  size_t units = 0;
  size_t longest = 0;
  for (size_t index = 0; index < rows; ++index) {
    const size_t length = bound(index);
    units += length + 1;
    longest = std::max(longest, length);
  }
  std::wstring row(longest + 1, L'\0');
  SendMessageW(list, LB_INITSTORAGE, rows, units * sizeof(wchar_t));
  for (size_t index = 0; index < rows; ++index) {
    *format(index, row.data()) = L'\0';
    if (SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.data())) < 0) return;
  }
}
