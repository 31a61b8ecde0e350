#pragma once
// Refills a list box without repainting it once per row: drawing is suspended,
// storage reserved, the rows added in order, and the list repainted once.
#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "framework/redraw_suspension.h"
#include "framework/sse2.h"
#include "page/mru_text.h"

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

// Units of host text read at a time: each part's rows are added while its
// text is still in the processor's cache.
constexpr size_t kFillReadUnits = size_t{128} << 10;

// Refills `list` with one row per entry, reading the entries' text part by
// part as it goes. `bound(index)` is at least the length of row `index`;
// `format(index, row)` writes that row from `row` on and returns where it
// ends. Storage is reserved for the rows and units the text is expected to
// hold, from what the parts read so far hold. Adding stops at the first row
// the list refuses, so row k always shows entry k. A list box's messages may
// reach code that changes the entries and refills the list itself:
// `superseded()` tells so, and is asked after every message, before the
// entries are touched again; the fill then stops, and the caller starts over
// on what it holds by then (a message the list handled after the newer fill
// may have left a row of the old one behind). May throw std::bad_alloc (the rows added so far stay, each
// showing its entry); the list is repainted either way. Without a list the
// entries are read all the same.
template <size_t Fields, class Bound, class Format, class Superseded>
void FillListBox(HWND list, MruEntries<Fields>& entries, Bound&& bound, Format&& format,
                 Superseded&& superseded) {
  if (!list) {
    // No window to show them, but the entries are kept all the same.
    entries.ReadMore(static_cast<size_t>(-1));
    return;
  }
  // An empty list that stays empty needs no repaint.
  if (entries.size() == 0 && entries.UnitsLeft() == 0 && SendMessageW(list, LB_GETCOUNT, 0, 0) == 0)
    return;
  if (superseded()) return;
  const RedrawSuspension redraw(list);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  if (superseded()) return;
  std::wstring row;   // one buffer for every row, as long as the longest
  size_t added = 0;   // rows in the list
  size_t units = 0;   // their bounds' sum, each with its terminator
  size_t reserved = 0;
  for (bool more = true; more;) {
    more = entries.ReadMore(kFillReadUnits);
    const size_t rows = entries.size();
    size_t longest = 0;
    for (size_t index = added; index < rows; ++index) {
      const size_t length = bound(index);
      units += length + 1;
      longest = std::max(longest, length);
    }
    if (row.size() <= longest) row.resize(longest + 1);
    if (rows > reserved) {
      // The text left holds about as many rows per unit as the text read.
      const double scale = more ? 1.0 + double(entries.UnitsLeft()) / double(entries.UnitsRead())
                                : 1.0;
      const size_t expected = std::max(rows, static_cast<size_t>(double(rows) * scale));
      const size_t expected_units = static_cast<size_t>(double(units) * scale);
      // In floating point: the product of two counts overflows a 32-bit size_t
      // from a few thousand rows on. The hint is capped at what an LPARAM holds.
      const double bytes = double(expected_units) * double(expected - reserved) /
                           double(expected) * sizeof(wchar_t);
      const double most = double(static_cast<size_t>(-1) >> 1);
      SendMessageW(list, LB_INITSTORAGE, expected - reserved,
                   static_cast<LPARAM>(std::min(bytes, most)));
      if (superseded()) return;
      reserved = expected;
    }
    for (; added < rows; ++added) {
      *format(added, row.data()) = L'\0';
      const LRESULT at = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.data()));
      if (at < 0 || superseded()) return;
    }
  }
}
