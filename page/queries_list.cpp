// Recently viewed queries: list 207 with "R&un Query" (205) and "Re&move" (212).
#include <array>
#include <vector>

#include "framework/window_enabling.h"
#include "page/activity_page.h"
#include "page/host_text.h"
#include "page/list_fill.h"
#include "page/list_selection.h"
#include "resources/resource_ids.h"

void ActivityPage::RefreshQueryMRUs() {
  ComPtr<IHvActivityHost> host(ActivityHost);
  if (!host) return;
  ++query_fills_;  // a fill under way reads these entries no more
  queries_.Clear();
  Bstr text;
  host->GetQueryMRUs(text.out());
  HoldHostText(queries_, text);
  FillQueryList();
}

void ActivityPage::FillQueryList() {
  // A list box message may reach code that refills the list meanwhile: the
  // fill then starts over, on what the page holds by then.
  QueryEntries& entries = queries_;
  unsigned fill = 0;
  do {
    fill = ++query_fills_;
    // A refill leaves no row selected, also when it stops early.
    EnableQueryButtons(0);
    // "[database] " for a query of another database, then its name.
    FillListBox(
        queries_list_, entries,
        [&](size_t index) {
          return entries.Field(index, kQueryDataBase).size() +
                 entries.Field(index, kQueryName).size() + 3;
        },
        [&](size_t index, wchar_t* row) {
          const std::wstring_view dataBase = entries.Field(index, kQueryDataBase);
          if (dataBase != CurrentDataBase)
            row = AppendUnits(AppendUnits(AppendUnits(row, L"["), dataBase), L"] ");
          return AppendUnits(row, entries.Field(index, kQueryName));
        },
        [&] { return query_fills_ != fill; });
  } while (query_fills_ != fill);
  OnQuerySelChange();
}

void ActivityPage::OnQuerySelChange() noexcept {
  EnableQueryButtons(SendMessageW(queries_list_, LB_GETSELCOUNT, 0, 0));
}

void ActivityPage::EnableQueryButtons(LRESULT selected) noexcept {
  // A button that disables itself under the focus hands it to its list.
  SetWindowEnabled(run_query_, selected == 1, queries_list_);
  SetWindowEnabled(remove_queries_, selected >= 1, queries_list_);
}

HRESULT ActivityPage::OnRunQuery() {
  ComPtr<IHvActivityHost> host(ActivityHost);
  if (!host) return S_OK;
  std::array<Bstr, 2> fields;
  const HRESULT copied = CopySingleSelection(queries_list_, queries_, fields);
  if (copied != S_OK) return SUCCEEDED(copied) ? S_OK : copied;
  host->RunQuery(fields[0].get(), fields[1].get());
  return S_OK;
}

HRESULT ActivityPage::OnRemoveQueries() {
  // A host may drop the page's last reference inside a call; the loop and
  // the refresh after it still need the page.
  const ComPtr<IUnknown> alive = KeepAlive();
  ComPtr<IHvActivityHost> host(ActivityHost);
  if (!host) return S_OK;
  std::vector<std::array<Bstr, 2>> selected;
  const HRESULT copied = CopySelectedEntries(queries_list_, queries_, selected);
  if (FAILED(copied) || selected.empty()) return copied;
  for (const auto& fields : selected) host->RemoveQueryMRU(fields[0].get(), fields[1].get());
  RefreshQueryMRUs();
  return S_OK;
}
