// Recently viewed queries: list 207 with "R&un Query" (205) and "Re&move" (212).
#include <array>
#include <vector>

#include "framework/text.h"
#include "page/activity_page.h"
#include "page/list_fill.h"
#include "resources/resource_ids.h"

namespace {
// Converts both fields for one host call; E_OUTOFMEMORY leaves the call unmade.
HRESULT QueryArguments(const std::array<std::string, 2>& fields, std::array<Bstr, 2>& bstrs) {
  for (size_t field = 0; field < fields.size(); ++field) {
    const HRESULT converted = BstrFromNarrow(fields[field], bstrs[field]);
    if (FAILED(converted)) return converted;
  }
  return S_OK;
}
}  // namespace

void ActivityPage::RefreshQueryMRUs() {
  ComPtr<IHvActivityHost> host(ActivityHost);
  if (!host) return;
  queries_.Clear();
  Bstr text;
  host->GetQueryMRUs(text.out());
  queries_.Load(NarrowFromBstr(text.get()));
  text.reset();
  FillQueryList();
  SendMessageA(window(), WM_COMMAND, MAKEWPARAM(IDC_QUERIES_LIST, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(queries_list_));
}

void ActivityPage::FillQueryList() {
  const QueryEntries& entries = queries_;
  size_t bytes = 0;
  for (size_t index = 0; index < entries.size(); ++index)
    bytes += entries.Field(index, kQueryDataBase).size() + entries.Field(index, kQueryName).size() +
             4;
  FillListBox(queries_list_, entries.size(), bytes, [&](size_t index, std::string& row) {
    const std::string_view dataBase = entries.Field(index, kQueryDataBase);
    if (dataBase != CurrentDataBase) row.append("[").append(dataBase).append("] ");
    row.append(entries.Field(index, kQueryName));
  });
}

void ActivityPage::OnQuerySelChange() noexcept {
  const LRESULT selected = SendMessageA(queries_list_, LB_GETSELCOUNT, 0, 0);
  EnableWindow(run_query_, selected == 1);
  EnableWindow(remove_queries_, selected >= 1);
}

HRESULT ActivityPage::OnRunQuery() {
  ComPtr<IHvActivityHost> host(ActivityHost);
  if (!host) return S_OK;
  int row = -1;
  if (SendMessageA(queries_list_, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&row)) != 1)
    return S_OK;
  std::array<std::string, 2> fields;
  if (row < 0 || !queries_.Lookup(static_cast<size_t>(row), fields)) return E_FAIL;
  std::array<Bstr, 2> arguments;
  const HRESULT converted = QueryArguments(fields, arguments);
  if (FAILED(converted)) return converted;
  host->RunQuery(arguments[0].get(), arguments[1].get());
  return S_OK;
}

HRESULT ActivityPage::OnRemoveQueries() {
  // A host may drop the page's last reference inside a call; the loop and
  // the refresh after it still need the page.
  const ComPtr<IUnknown> alive = KeepAlive();
  ComPtr<IHvActivityHost> host(ActivityHost);
  if (!host) return S_OK;
  const LRESULT count = SendMessageA(queries_list_, LB_GETSELCOUNT, 0, 0);
  if (count < 1) return S_OK;
  std::vector<int> rows(static_cast<size_t>(count));
  const LRESULT delivered = SendMessageA(queries_list_, LB_GETSELITEMS, rows.size(),
                                         reinterpret_cast<LPARAM>(rows.data()));
  if (delivered < 1) return S_OK;
  rows.resize(static_cast<size_t>(delivered) < rows.size() ? static_cast<size_t>(delivered)
                                                           : rows.size());
  for (int row : rows) {
    // Looked up afresh each time: the host may have refreshed the lists.
    std::array<std::string, 2> fields;
    if (row < 0 || !queries_.Lookup(static_cast<size_t>(row), fields)) return E_FAIL;
    std::array<Bstr, 2> arguments;
    const HRESULT converted = QueryArguments(fields, arguments);
    if (FAILED(converted)) return converted;
    host->RemoveQueryMRU(arguments[0].get(), arguments[1].get());
  }
  RefreshQueryMRUs();
  return S_OK;
}
