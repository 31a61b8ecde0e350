// The recently-viewed lists: filling, selection, and the host calls on the
// selected entries.
#include "page/list_section.h"

#include <vector>

#include "framework/window_enabling.h"
#include "page/host_text.h"
#include "page/list_fill.h"
#include "page/list_selection.h"

size_t RecordRowBound(const MruEntries<5>& entries, size_t index) noexcept {
  return entries.Field(index, kRecordDataBase).size() + entries.Field(index, kLabel).size() +
         entries.Field(index, kDetail).size() + 6;
}

wchar_t* FormatRecordRow(const MruEntries<5>& entries, size_t index,
                         const std::wstring& current_database, wchar_t* row) noexcept {
  const std::wstring_view database = entries.Field(index, kRecordDataBase);
  if (database != current_database)
    row = AppendUnits(AppendUnits(AppendUnits(row, L"["), database), L"] ");
  row = AppendUnits(row, entries.Field(index, kLabel));
  const std::wstring_view detail = entries.Field(index, kDetail);
  if (!detail.empty()) row = AppendUnits(AppendUnits(row, L" - "), detail);
  return row;
}

size_t QueryRowBound(const MruEntries<2>& entries, size_t index) noexcept {
  return entries.Field(index, kQueryDataBase).size() + entries.Field(index, kQueryName).size() + 3;
}

wchar_t* FormatQueryRow(const MruEntries<2>& entries, size_t index,
                        const std::wstring& current_database, wchar_t* row) noexcept {
  const std::wstring_view database = entries.Field(index, kQueryDataBase);
  if (database != current_database)
    row = AppendUnits(AppendUnits(AppendUnits(row, L"["), database), L"] ");
  return AppendUnits(row, entries.Field(index, kQueryName));
}

template <class Kind>
void ListSection<Kind>::Attach(HWND page) noexcept {
  list_ = GetDlgItem(page, Kind::kList);
  open_ = GetDlgItem(page, Kind::kOpen);
  remove_ = GetDlgItem(page, Kind::kRemove);
  SetWindowEnabled(open_, false);
}

template <class Kind>
void ListSection<Kind>::Detach() noexcept {
  ++fills_;
  list_ = open_ = remove_ = nullptr;
}

template <class Kind>
void ListSection<Kind>::Refresh(const ComPtr<IHvActivityHost>& slot,
                                const std::wstring& current_database) {
  const ComPtr<IHvActivityHost> host = slot;
  if (!host) return;
  ++fills_;  // a fill under way reads these entries no more
  entries_.Clear();
  Bstr text;
  Kind::Read(*host.get(), text.out());
  HoldHostText(entries_, text);
  Fill(current_database);
}

template <class Kind>
void ListSection<Kind>::Fill(const std::wstring& current_database) {
  // A list box message may reach code that refills the list meanwhile: the
  // fill then starts over, on what the page holds by then.
  unsigned fill = 0;
  do {
    fill = ++fills_;
    // A refill leaves no row selected, also when it stops early.
    EnableButtons(0);
    FillListBox(
        list_, entries_, [&](size_t index) { return Kind::RowBound(entries_, index); },
        [&](size_t index, wchar_t* row) {
          return Kind::FormatRow(entries_, index, current_database, row);
        },
        [&] { return fills_ != fill; });
  } while (fills_ != fill);
  OnSelChange();
}

template <class Kind>
bool ListSection<Kind>::HandleCommand(WORD id, WORD code, const ComPtr<IHvActivityHost>& host,
                                      const std::wstring& current_database, HRESULT& result) {
  result = S_OK;
  if (id == Kind::kList && code == LBN_SELCHANGE) {
    OnSelChange();
  } else if ((id == Kind::kList && code == LBN_DBLCLK) ||
             (id == Kind::kOpen && code == BN_CLICKED)) {
    result = Open(host);
  } else if (id == Kind::kRemove && code == BN_CLICKED) {
    result = Remove(host, current_database);
  } else {
    return false;
  }
  return true;
}

template <class Kind>
void ListSection<Kind>::OnSelChange() noexcept {
  EnableButtons(SendMessageW(list_, LB_GETSELCOUNT, 0, 0));
}

template <class Kind>
void ListSection<Kind>::EnableButtons(LRESULT selected) noexcept {
  // A button that disables itself under the focus hands it to its list.
  SetWindowEnabled(open_, selected == 1, list_);
  SetWindowEnabled(remove_, selected >= 1, list_);
}

template <class Kind>
HRESULT ListSection<Kind>::Open(const ComPtr<IHvActivityHost>& slot) {
  const ComPtr<IHvActivityHost> host = slot;
  if (!host) return S_OK;
  typename Kind::Fields fields;
  const HRESULT copied = CopySingleSelection(list_, entries_, fields);
  if (copied != S_OK) return SUCCEEDED(copied) ? S_OK : copied;
  Kind::Open(*host.get(), fields);
  return S_OK;
}

template <class Kind>
HRESULT ListSection<Kind>::Remove(const ComPtr<IHvActivityHost>& slot,
                                  const std::wstring& current_database) {
  const ComPtr<IHvActivityHost> host = slot;
  if (!host) return S_OK;
  std::vector<typename Kind::Fields> selected;
  const HRESULT copied = CopySelectedEntries(list_, entries_, selected);
  if (FAILED(copied) || selected.empty()) return copied;
  for (const auto& fields : selected) Kind::Remove(*host.get(), fields);
  // With the host the page holds now: one that withdrew itself is not asked.
  Refresh(slot, current_database);
  return S_OK;
}

template class ListSection<RecordList>;
template class ListSection<QueryList>;
