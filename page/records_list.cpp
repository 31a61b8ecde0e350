// Recently viewed records: list 203 with "&View Record" (204) and "R&emove" (211).
#include <array>
#include <vector>

#include "framework/window_enabling.h"
#include "page/activity_page.h"
#include "page/host_text.h"
#include "page/list_fill.h"
#include "page/list_selection.h"
#include "resources/resource_ids.h"

void ActivityPage::RefreshRecordMRUs() {
  ComPtr<IHvActivityHost> host(ActivityHost);
  if (!host) return;
  ++record_fills_;  // a fill under way reads these entries no more
  records_.Clear();
  Bstr text;
  host->GetRecordMRUs(text.out());
  HoldHostText(records_, text);
  FillRecordList();
}

void ActivityPage::FillRecordList() {
  // A list box message may reach code that refills the list meanwhile: the
  // fill then starts over, on what the page holds by then.
  RecordEntries& entries = records_;
  unsigned fill = 0;
  do {
    fill = ++record_fills_;
    // A refill leaves no row selected, also when it stops early.
    EnableRecordButtons(0);
    // "[database] " for an entry of another database, the label, " - detail".
    FillListBox(
        records_list_, entries,
        [&](size_t index) {
          return entries.Field(index, kRecordDataBase).size() +
                 entries.Field(index, kLabel).size() + entries.Field(index, kDetail).size() + 6;
        },
        [&](size_t index, wchar_t* row) {
          const std::wstring_view dataBase = entries.Field(index, kRecordDataBase);
          if (dataBase != CurrentDataBase)
            row = AppendUnits(AppendUnits(AppendUnits(row, L"["), dataBase), L"] ");
          row = AppendUnits(row, entries.Field(index, kLabel));
          const std::wstring_view detail = entries.Field(index, kDetail);
          if (!detail.empty()) row = AppendUnits(AppendUnits(row, L" - "), detail);
          return row;
        },
        [&] { return record_fills_ != fill; });
  } while (record_fills_ != fill);
  OnRecordSelChange();
}

void ActivityPage::OnRecordSelChange() noexcept {
  EnableRecordButtons(SendMessageW(records_list_, LB_GETSELCOUNT, 0, 0));
}

void ActivityPage::EnableRecordButtons(LRESULT selected) noexcept {
  // A button that disables itself under the focus hands it to its list.
  SetWindowEnabled(view_record_, selected == 1, records_list_);
  SetWindowEnabled(remove_records_, selected >= 1, records_list_);
}

HRESULT ActivityPage::OnViewRecord() {
  ComPtr<IHvActivityHost> host(ActivityHost);
  if (!host) return S_OK;
  std::array<Bstr, 5> fields;
  const HRESULT copied = CopySingleSelection(records_list_, records_, fields);
  if (copied != S_OK) return SUCCEEDED(copied) ? S_OK : copied;
  host->ViewRecord(fields[0].get(), fields[1].get(), fields[2].get(), fields[3].get(),
                   fields[4].get());
  return S_OK;
}

HRESULT ActivityPage::OnRemoveRecords() {
  // A host may drop the page's last reference inside a call; the loop and
  // the refresh after it still need the page.
  const ComPtr<IUnknown> alive = KeepAlive();
  ComPtr<IHvActivityHost> host(ActivityHost);
  if (!host) return S_OK;
  std::vector<std::array<Bstr, 5>> selected;
  const HRESULT copied = CopySelectedEntries(records_list_, records_, selected);
  if (FAILED(copied) || selected.empty()) return copied;
  for (const auto& fields : selected)
    host->RemoveRecordMRU(fields[0].get(), fields[1].get(), fields[2].get(), fields[3].get(),
                          fields[4].get());
  RefreshRecordMRUs();
  return S_OK;
}
