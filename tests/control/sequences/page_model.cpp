#include "control/sequences/page_model.h"

#include <algorithm>

#include "common/call_log.h"
#include "framework/com_ptr.h"
#include "framework/handles.h"
#include "resources/resource_ids.h"

namespace {

std::wstring Wide(const std::optional<std::string>& utf8) {
  if (!utf8 || utf8->empty()) return std::wstring();
  const int length = static_cast<int>(utf8->size());
  std::wstring wide(static_cast<size_t>(
                        MultiByteToWideChar(CP_UTF8, 0, utf8->data(), length, nullptr, 0)),
                    L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8->data(), length, &wide[0], static_cast<int>(wide.size()));
  return wide;
}

// Five line-feed-ended fields an entry, then one unit skipped; an entry
// missing a line feed ends the text. The first `N` fields are kept.
template <size_t N>
std::vector<std::array<std::wstring, N>> Entries(const std::wstring& text) {
  std::vector<std::array<std::wstring, N>> entries;
  size_t at = 0;
  while (at < text.size()) {
    std::array<std::wstring, N> entry;
    size_t field = 0;
    for (; field < 5; ++field) {
      const size_t end = text.find(L'\n', at);
      if (end == std::wstring::npos) return entries;
      if (field < N) entry[field] = text.substr(at, end - at);
      at = end + 1;
    }
    entries.push_back(entry);
    ++at;
  }
  return entries;
}

std::vector<std::wstring> Names(const std::wstring& text) {
  std::vector<std::wstring> names;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = std::min(text.find(L'\n', at), text.size());
    names.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return names;
}

bool Called(const std::vector<std::string>& calls, const std::string& prefix) {
  for (const std::string& call : calls)
    if (call.compare(0, prefix.size(), prefix) == 0) return true;
  return false;
}

std::string Logged(const std::wstring& text) {
  Bstr bstr(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
  return LogText(bstr.get());
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
  return text;
}

std::vector<std::wstring> Items(HWND box, UINT count_message, UINT length_message,
                                UINT text_message) {
  std::vector<std::wstring> items;
  const LRESULT count = SendMessageW(box, count_message, 0, 0);
  for (LRESULT item = 0; item < count; ++item) {
    std::wstring text(static_cast<size_t>(SendMessageW(box, length_message, item, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(
        SendMessageW(box, text_message, item, reinterpret_cast<LPARAM>(&text[0]))));
    items.push_back(text);
  }
  return items;
}

std::string Listed(const std::vector<std::wstring>& items) {
  std::string text;
  for (const std::wstring& item : items) text += (text.empty() ? "" : ", ") + Logged(item);
  return "[" + text + "]";
}

}  // namespace

void PageModel::Reset() { *this = PageModel(); }

void PageModel::Follow(const MockHost& host, const std::vector<std::string>& calls) {
  if (Called(calls, "GetCurrentDataBase(")) {
    // Nothing remembers a database in the registry, so no answer means none.
    database_ = Wide(host.current_database);
    types_ = database_.empty() ? std::vector<std::wstring>() : Names(Wide(host.record_types));
  }
  if (Called(calls, "GetRecordMRUs(")) records_ = Entries<5>(Wide(host.record_mrus));
  if (Called(calls, "GetQueryMRUs(")) queries_ = Entries<2>(Wide(host.query_mrus));
  if (Called(calls, "GetCurrentDataBase(") && Called(calls, "GetRecordMRUs(") &&
      Called(calls, "GetQueryMRUs("))
    known_ = true;
}

std::wstring PageModel::RecordRow(const Record& record) const {
  std::wstring row = record[0] == database_ ? L"" : L"[" + record[0] + L"] ";
  row += record[3];
  if (!record[4].empty()) row += L" - " + record[4];
  return row;
}

std::wstring PageModel::QueryRow(const Query& query) const {
  return (query[0] == database_ ? L"" : L"[" + query[0] + L"] ") + query[1];
}

std::string PageModel::CheckWindow(HWND page, IUnknown* control,
                                   const std::wstring& own_default) const {
  const HWND records = GetDlgItem(page, IDC_RECORDS_LIST);
  const HWND queries = GetDlgItem(page, IDC_QUERIES_LIST);
  const LRESULT records_selected = SendMessageW(records, LB_GETSELCOUNT, 0, 0);
  const LRESULT queries_selected = SendMessageW(queries, LB_GETSELCOUNT, 0, 0);
  const struct {
    int button;
    bool enabled;
  } buttons[] = {{IDC_VIEW_RECORD, records_selected == 1},
                 {IDC_REMOVE_RECORDS, records_selected >= 1},
                 {IDC_RUN_QUERY, queries_selected == 1},
                 {IDC_REMOVE_QUERIES, queries_selected >= 1}};
  for (const auto& expected : buttons)
    if ((IsWindowEnabled(GetDlgItem(page, expected.button)) != FALSE) != expected.enabled)
      return "button " + std::to_string(expected.button) + (expected.enabled ? " disabled" : " enabled") +
             " with " + std::to_string(records_selected) + " records and " +
             std::to_string(queries_selected) + " queries selected";

  const HWND combo = GetDlgItem(page, IDC_RECORD_TYPES);
  const std::vector<std::wstring> shown_types =
      Items(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
  ComPtr<IHvProjectList> project;
  control->QueryInterface(IID_IHvProjectList, project.out_void());
  Bstr answered;
  if (!project || project->GetDefaultRecordType(answered.out()) != S_OK)
    return "GetDefaultRecordType failed";
  const std::wstring expected_default = shown_types.empty() ? own_default : shown_types.front();
  if (Logged(expected_default) != LogText(answered.get()))
    return "GetDefaultRecordType answered " + LogText(answered.get()) + " beside the types " +
           Listed(shown_types);
  if (!known_) return "";

  if (TextOf(GetDlgItem(page, IDC_DATABASE_EDIT)) != database_)
    return "the edit shows " + Logged(TextOf(GetDlgItem(page, IDC_DATABASE_EDIT))) +
           " while the page acts on " + Logged(database_);
  if (shown_types != types_)
    return "the combo box shows " + Listed(shown_types) + " for the types " + Listed(types_);
  std::vector<std::wstring> rows;
  for (const Record& record : records_) rows.push_back(RecordRow(record));
  const std::vector<std::wstring> shown_records =
      Items(records, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
  if (shown_records != rows)
    return "the records list shows " + Listed(shown_records) + " for " + Listed(rows);
  rows.clear();
  for (const Query& query : queries_) rows.push_back(QueryRow(query));
  const std::vector<std::wstring> shown_queries =
      Items(queries, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
  if (shown_queries != rows)
    return "the queries list shows " + Listed(shown_queries) + " for " + Listed(rows);
  return "";
}

std::string PageModel::CheckHandedBack(const std::vector<std::string>& calls) const {
  if (!known_) return "";
  std::vector<std::string> allowed;
  for (const Record& record : records_) {
    for (const char* method : {"ViewRecord", "RemoveRecordMRU"})
      allowed.push_back(LogCall(method, {Logged(record[0]), Logged(record[1]), Logged(record[2]),
                                         Logged(record[3]), Logged(record[4])}));
  }
  for (const Query& query : queries_) {
    for (const char* method : {"RunQuery", "RemoveQueryMRU"})
      allowed.push_back(LogCall(method, {Logged(query[0]), Logged(query[1])}));
  }
  for (const std::wstring& type : types_)
    allowed.push_back(LogCall("SubmitRecord", {Logged(database_), Logged(type)}));
  for (const std::string& call : calls) {
    if (!Called({call}, "ViewRecord(") && !Called({call}, "RemoveRecordMRU(") &&
        !Called({call}, "RunQuery(") && !Called({call}, "RemoveQueryMRU(") &&
        !Called({call}, "SubmitRecord("))
      continue;
    if (std::find(allowed.begin(), allowed.end(), call) == allowed.end())
      return "the host was handed " + call + ", which it never gave";
  }
  return "";
}
