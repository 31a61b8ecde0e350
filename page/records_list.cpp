// Recently viewed records: list 203 with "&View Record" (204) and "R&emove" (211).
#include <array>
#include <vector>

#include "framework/text.h"
#include "page/activity_page.h"
#include "page/list_fill.h"
#include "resources/resource_ids.h"

namespace {
// Converts the five fields for one host call; E_OUTOFMEMORY leaves the call unmade.
HRESULT RecordArguments(const std::array<std::string, 5>& fields, std::array<Bstr, 5>& bstrs) {
  for (size_t field = 0; field < fields.size(); ++field) {
    const HRESULT converted = BstrFromNarrow(fields[field], bstrs[field]);
    if (FAILED(converted)) return converted;
  }
  return S_OK;
}
}  // namespace

void ActivityPage::RefreshRecordMRUs() {
  ComPtr<IHvActivityHost> host(ActivityHost);
  if (!host) return;
  records_.Clear();
  Bstr text;
  host->GetRecordMRUs(text.out());
  records_.Load(NarrowFromBstr(text.get()));
  text.reset();
  FillRecordList();
  SendMessageA(window(), WM_COMMAND, MAKEWPARAM(IDC_RECORDS_LIST, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(records_list_));
}

void ActivityPage::FillRecordList() {
  const RecordEntries& entries = records_;
  size_t bytes = 0;
  for (size_t index = 0; index < entries.size(); ++index)
    bytes += entries.Field(index, kRecordDataBase).size() + entries.Field(index, kLabel).size() +
             entries.Field(index, kDetail).size() + 7;
  FillListBox(records_list_, entries.size(), bytes, [&](size_t index, std::string& row) {
    const std::string_view dataBase = entries.Field(index, kRecordDataBase);
    if (dataBase != CurrentDataBase) row.append("[").append(dataBase).append("] ");
    row.append(entries.Field(index, kLabel));
    const std::string_view detail = entries.Field(index, kDetail);
    if (!detail.empty()) row.append(" - ").append(detail);
  });
}

void ActivityPage::OnRecordSelChange() noexcept {
  const LRESULT selected = SendMessageA(records_list_, LB_GETSELCOUNT, 0, 0);
  EnableWindow(view_record_, selected == 1);
  EnableWindow(remove_records_, selected >= 1);
}

HRESULT ActivityPage::OnViewRecord() {
  ComPtr<IHvActivityHost> host(ActivityHost);
  if (!host) return S_OK;
  int row = -1;
  if (SendMessageA(records_list_, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&row)) != 1)
    return S_OK;
  std::array<std::string, 5> fields;
  if (row < 0 || !records_.Lookup(static_cast<size_t>(row), fields)) return E_FAIL;
  std::array<Bstr, 5> arguments;
  const HRESULT converted = RecordArguments(fields, arguments);
  if (FAILED(converted)) return converted;
  host->ViewRecord(arguments[0].get(), arguments[1].get(), arguments[2].get(), arguments[3].get(),
                   arguments[4].get());
  return S_OK;
}

HRESULT ActivityPage::OnRemoveRecords() {
  // A host may drop the page's last reference inside a call; the loop and
  // the refresh after it still need the page.
  const ComPtr<IUnknown> alive = KeepAlive();
  ComPtr<IHvActivityHost> host(ActivityHost);
  if (!host) return S_OK;
  const LRESULT count = SendMessageA(records_list_, LB_GETSELCOUNT, 0, 0);
  if (count < 1) return S_OK;
  std::vector<int> rows(static_cast<size_t>(count));
  const LRESULT delivered = SendMessageA(records_list_, LB_GETSELITEMS, rows.size(),
                                         reinterpret_cast<LPARAM>(rows.data()));
  if (delivered < 1) return S_OK;
  rows.resize(static_cast<size_t>(delivered) < rows.size() ? static_cast<size_t>(delivered)
                                                           : rows.size());
  for (int row : rows) {
    // Looked up afresh each time: the host may have refreshed the lists.
    std::array<std::string, 5> fields;
    if (row < 0 || !records_.Lookup(static_cast<size_t>(row), fields)) return E_FAIL;
    std::array<Bstr, 5> arguments;
    const HRESULT converted = RecordArguments(fields, arguments);
    if (FAILED(converted)) return converted;
    host->RemoveRecordMRU(arguments[0].get(), arguments[1].get(), arguments[2].get(),
                          arguments[3].get(), arguments[4].get());
  }
  RefreshRecordMRUs();
  return S_OK;
}
