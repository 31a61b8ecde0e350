// The database line and the record types: edit 209, combo box 1277, "&Change"
// and "&Go".
#include <algorithm>
#include <string_view>

#include "framework/text.h"
#include "framework/window_text.h"
#include "page/activity_page.h"
#include "page/record_types_text.h"

namespace {
// An edit control's own limit on what a user may type into it.
constexpr size_t kLongestShownDataBase = 32767;
}  // namespace

void ActivityPage::RefreshDataBase() {
  ComPtr<IHvActivityHost> host(ActivityHost);
  if (!host) return;

  ++record_type_fills_;  // a fill under way reads these names no more
  RecordTypes.clear();
  SendMessageW(record_types_, CB_RESETCONTENT, 0, 0);

  std::wstring types_text;
  {
    // The host's answer is handed back to it as GetRecordTypes' argument.
    Bstr current;
    host->GetCurrentDataBase(current.out());
    CurrentDataBase = WideFromBstr(current.get());
    if (!CurrentDataBase.empty()) {
      Bstr types;
      host->GetRecordTypes(current.get(), types.out());
      types_text = WideFromBstr(types.get());
      SaveRecordTypes(host.get(), types_text);
    }
  }
  if (CurrentDataBase.empty()) {
    CurrentDataBase = LoadLastDataBase(host.get());
    if (!CurrentDataBase.empty()) types_text = LoadLastRecordTypes(host.get());
  }
  // The edit shows the database the page acts on, also when there is none.
  ShowDataBase();
  RecordTypes.clear();
  if (!CurrentDataBase.empty() && !types_text.empty()) RecordTypes = SplitRecordTypes(types_text);
  // A host that called DataBaseOpened back from inside one of the calls above
  // has filled the combo box already; it must end with these names only.
  ShowRecordTypes();
}

void ActivityPage::ShowDataBase() {
  if (!database_edit_) return;
  // An edit lays out its whole line whenever its text is set: half a minute
  // under Wine for a name of millions of units. It shows at most as many
  // units as a user could type into it, and a text it shows already stays;
  // the page still acts on the whole name.
  std::wstring_view name(CurrentDataBase);
  if (name.size() > kLongestShownDataBase) {
    name = name.substr(0, kLongestShownDataBase);
    if (IS_HIGH_SURROGATE(name.back())) name.remove_suffix(1);
  }
  if (static_cast<size_t>(GetWindowTextLengthW(database_edit_)) == name.size() &&
      (name.empty() || WindowText(database_edit_) == name))
    return;
  SetWindowTextW(database_edit_, std::wstring(name).c_str());
}

void ActivityPage::ShowRecordTypes() noexcept {
  // The combo box's messages may reach code that shows other names
  // meanwhile: the fill then starts over, on what the page holds by then.
  unsigned fill = 0;
  do {
    fill = ++record_type_fills_;
    FillRecordTypes([&] { return record_type_fills_ != fill; });
  } while (record_type_fills_ != fill);
}

template <class Superseded>
void ActivityPage::FillRecordTypes(Superseded&& superseded) noexcept {
  const HWND box = record_types_;
  if (!box) return;  // no window: nothing is refused
  // A combo box that is empty and stays empty needs no repaint.
  if (RecordTypes.empty() && SendMessageW(box, CB_GETCOUNT, 0, 0) == 0) return;
  SendMessageW(box, CB_RESETCONTENT, 0, 0);
  if (superseded()) return;
  size_t shown = 0;
  size_t longest = 0;
  for (; shown < RecordTypes.size(); ++shown) {
    const std::wstring& name = RecordTypes[shown];
    const size_t length = AnsiLength(name);
    const LRESULT at = SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    if (superseded()) return;
    if (at < 0) break;
    longest = std::max(longest, length);
  }
  // The page holds what it shows: "&Go" and GetDefaultRecordType agree.
  RecordTypes.erase(RecordTypes.begin() + static_cast<ptrdiff_t>(shown), RecordTypes.end());
  // Eight pixels a byte of the name's ANSI form, whatever the font: the
  // drop-down list's width.
  SendMessageW(box, CB_SETDROPPEDWIDTH, longest * 8, 0);
  if (superseded()) return;
  SendMessageW(box, CB_SETCURSEL, 0, 0);
}

HRESULT ActivityPage::OnChangeDataBase() {
  ComPtr<IHvActivityHost> host(ActivityHost);
  if (host) host->ChangeDataBase();
  return S_OK;
}

HRESULT ActivityPage::OnGo() {
  ComPtr<IHvActivityHost> host(ActivityHost);
  if (!host) return S_OK;
  const LRESULT selected = SendMessageW(record_types_, CB_GETCURSEL, 0, 0);
  if (selected < 0) return S_OK;
  const LRESULT length = SendMessageW(record_types_, CB_GETLBTEXTLEN, selected, 0);
  if (length <= 0) return S_OK;
  std::wstring record_type(static_cast<size_t>(length) + 2, L'\0');
  const LRESULT copied = SendMessageW(record_types_, CB_GETLBTEXT, selected,
                                      reinterpret_cast<LPARAM>(&record_type[0]));
  if (copied < 0) return S_OK;
  record_type.resize(record_type.find(L'\0'));

  Bstr database;
  Bstr type;
  HRESULT converted = BstrFromWide(CurrentDataBase, database);
  if (SUCCEEDED(converted)) converted = BstrFromWide(record_type, type);
  if (FAILED(converted)) return converted;
  host->SubmitRecord(database.get(), type.get());
  return S_OK;
}
