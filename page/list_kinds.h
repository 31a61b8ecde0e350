#pragma once
// The two recently-viewed lists of the page, as the kinds a ListSection is
// made for: the list box and its two buttons, the row format, and the host
// calls that read the list's text and open and remove one entry.
#include <windows.h>

#include <array>
#include <string>
#include <utility>

#include "framework/handles.h"
#include "include/PellwickHost.h"
#include "page/mru_text.h"
#include "resources/resource_ids.h"

// The row's length bound and its text for entry `index`: "[database] " for an
// entry of another database than `current_database`, then the entry's own text.
// FormatRow writes at `row` and returns the end of what it wrote.
template <size_t Fields>
using RowBoundFunction = size_t (*)(const MruEntries<Fields>& entries, size_t index) noexcept;
template <size_t Fields>
using FormatRowFunction = wchar_t* (*)(const MruEntries<Fields>& entries, size_t index,
                                       const std::wstring& current_database,
                                       wchar_t* row) noexcept;

// One list's kind. The open and remove methods take the entry's fields in
// their order; a host method's result is the call's result.
template <size_t FieldCount, int ListId, int OpenId, int RemoveId, auto ReadMethod,
          auto OpenMethod, auto RemoveMethod, RowBoundFunction<FieldCount> RowBoundOf,
          FormatRowFunction<FieldCount> FormatRowOf>
struct ListKind {
  static constexpr size_t kFields = FieldCount;
  static constexpr int kList = ListId;
  static constexpr int kOpen = OpenId;
  static constexpr int kRemove = RemoveId;
  using Fields = std::array<Bstr, kFields>;

  static HRESULT Read(IHvActivityHost& host, BSTR* text) { return (host.*ReadMethod)(text); }
  static HRESULT Open(IHvActivityHost& host, const Fields& fields) {
    return CallWith(host, OpenMethod, fields, std::make_index_sequence<kFields>());
  }
  static HRESULT Remove(IHvActivityHost& host, const Fields& fields) {
    return CallWith(host, RemoveMethod, fields, std::make_index_sequence<kFields>());
  }
  static size_t RowBound(const MruEntries<kFields>& entries, size_t index) noexcept {
    return RowBoundOf(entries, index);
  }
  static wchar_t* FormatRow(const MruEntries<kFields>& entries, size_t index,
                            const std::wstring& current_database, wchar_t* row) noexcept {
    return FormatRowOf(entries, index, current_database, row);
  }

 private:
  template <class Method, size_t... Field>
  static HRESULT CallWith(IHvActivityHost& host, Method method, const Fields& fields,
                          std::index_sequence<Field...>) {
    return (host.*method)(fields[Field].get()...);
  }
};

// Recently viewed records: "[database] label - detail".
size_t RecordRowBound(const MruEntries<5>& entries, size_t index) noexcept;
wchar_t* FormatRecordRow(const MruEntries<5>& entries, size_t index,
                         const std::wstring& current_database, wchar_t* row) noexcept;
// Recently viewed queries: "[database] name".
size_t QueryRowBound(const MruEntries<2>& entries, size_t index) noexcept;
wchar_t* FormatQueryRow(const MruEntries<2>& entries, size_t index,
                        const std::wstring& current_database, wchar_t* row) noexcept;

// List 203 with "&View Record" (204) and "R&emove" (211).
using RecordList =
    ListKind<5, IDC_RECORDS_LIST, IDC_VIEW_RECORD, IDC_REMOVE_RECORDS,
             &IHvActivityHost::GetRecordMRUs, &IHvActivityHost::ViewRecord,
             &IHvActivityHost::RemoveRecordMRU, RecordRowBound, FormatRecordRow>;
// List 207 with "R&un Query" (205) and "Re&move" (212).
using QueryList = ListKind<2, IDC_QUERIES_LIST, IDC_RUN_QUERY, IDC_REMOVE_QUERIES,
                           &IHvActivityHost::GetQueryMRUs, &IHvActivityHost::RunQuery,
                           &IHvActivityHost::RemoveQueryMRU, QueryRowBound, FormatQueryRow>;
