#pragma once
// The two recently-viewed lists of the page, as the kinds a ListSection is
// made for: the list box and its two buttons, the row format, and the host
// calls that read, open and remove entries.
#include <windows.h>

#include <array>
#include <string>

#include "framework/handles.h"
#include "include/PellwickHost.h"
#include "page/mru_text.h"
#include "resources/resource_ids.h"

// Recently viewed records: list 203 with "&View Record" (204) and "R&emove" (211).
struct RecordList {
  static constexpr size_t kFields = 5;
  static constexpr int kList = IDC_RECORDS_LIST;
  static constexpr int kOpen = IDC_VIEW_RECORD;
  static constexpr int kRemove = IDC_REMOVE_RECORDS;
  using Fields = std::array<Bstr, kFields>;

  static HRESULT Read(IHvActivityHost& host, BSTR* text) { return host.GetRecordMRUs(text); }
  static HRESULT Open(IHvActivityHost& host, const Fields& f) {
    return host.ViewRecord(f[0].get(), f[1].get(), f[2].get(), f[3].get(), f[4].get());
  }
  static HRESULT Remove(IHvActivityHost& host, const Fields& f) {
    return host.RemoveRecordMRU(f[0].get(), f[1].get(), f[2].get(), f[3].get(), f[4].get());
  }
  // "[database] " for an entry of another database, the label, " - detail".
  static size_t RowBound(const MruEntries<kFields>& entries, size_t index) noexcept;
  static wchar_t* FormatRow(const MruEntries<kFields>& entries, size_t index,
                            const std::wstring& current_database, wchar_t* row) noexcept;
};

// Recently viewed queries: list 207 with "R&un Query" (205) and "Re&move" (212).
struct QueryList {
  static constexpr size_t kFields = 2;
  static constexpr int kList = IDC_QUERIES_LIST;
  static constexpr int kOpen = IDC_RUN_QUERY;
  static constexpr int kRemove = IDC_REMOVE_QUERIES;
  using Fields = std::array<Bstr, kFields>;

  static HRESULT Read(IHvActivityHost& host, BSTR* text) { return host.GetQueryMRUs(text); }
  static HRESULT Open(IHvActivityHost& host, const Fields& f) {
    return host.RunQuery(f[0].get(), f[1].get());
  }
  static HRESULT Remove(IHvActivityHost& host, const Fields& f) {
    return host.RemoveQueryMRU(f[0].get(), f[1].get());
  }
  // "[database] " for a query of another database, then its name.
  static size_t RowBound(const MruEntries<kFields>& entries, size_t index) noexcept;
  static wchar_t* FormatRow(const MruEntries<kFields>& entries, size_t index,
                            const std::wstring& current_database, wchar_t* row) noexcept;
};
