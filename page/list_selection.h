#pragma once
// What the user selected in a recently-viewed list, taken as a whole before
// the page calls the host: a host may refresh the lists inside any call, and
// the rows must still name the entries the user chose.
#include <windows.h>

#include <array>
#include <vector>

#include "framework/handles.h"
#include "framework/text.h"
#include "page/mru_text.h"

// The fields of the entries behind the selected rows of `list`, in ascending
// row order, as the BSTRs the host calls take. E_FAIL when a selected row has
// no entry, E_OUTOFMEMORY when a copy cannot be made; `selected` is then
// empty. May throw std::bad_alloc.
template <size_t Fields>
HRESULT CopySelectedEntries(HWND list, const MruEntries<Fields>& entries,
                            std::vector<std::array<Bstr, Fields>>& selected) {
  selected.clear();
  const LRESULT count = SendMessageW(list, LB_GETSELCOUNT, 0, 0);
  if (count < 1) return S_OK;
  std::vector<int> rows(static_cast<size_t>(count));
  const LRESULT delivered =
      SendMessageW(list, LB_GETSELITEMS, rows.size(), reinterpret_cast<LPARAM>(rows.data()));
  if (delivered < 1) return S_OK;
  if (static_cast<size_t>(delivered) < rows.size()) rows.resize(static_cast<size_t>(delivered));
  std::vector<std::array<Bstr, Fields>> copies(rows.size());
  for (size_t at = 0; at < rows.size(); ++at) {
    const int row = rows[at];
    if (row < 0 || static_cast<size_t>(row) >= entries.size()) return E_FAIL;
    for (size_t field = 0; field < Fields; ++field) {
      const HRESULT copied =
          BstrFromWide(entries.Field(static_cast<size_t>(row), field), copies[at][field]);
      if (FAILED(copied)) return copied;
    }
  }
  selected.swap(copies);
  return S_OK;
}

// The one selected row's entry as BSTRs: S_FALSE when not exactly one row is
// selected, E_FAIL when the row has no entry, E_OUTOFMEMORY when a copy
// cannot be made.
template <size_t Fields>
HRESULT CopySingleSelection(HWND list, const MruEntries<Fields>& entries,
                            std::array<Bstr, Fields>& fields) {
  int row = -1;
  if (SendMessageW(list, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&row)) != 1) return S_FALSE;
  if (row < 0 || static_cast<size_t>(row) >= entries.size()) return E_FAIL;
  for (size_t field = 0; field < Fields; ++field) {
    const HRESULT copied = BstrFromWide(entries.Field(static_cast<size_t>(row), field), fields[field]);
    if (FAILED(copied)) return copied;
  }
  return S_OK;
}
