#include "activity_host.h"

#include <initializer_list>

#include "bstr.h"
#include "data_file.h"
#include "host_log.h"

namespace {
std::string Entries(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " entry" : " entries");
}

// A call with its arguments as the log shows it: Name("a", null, ...).
std::string Call(const char* name, std::initializer_list<BSTR> arguments) {
  std::string text = std::string(name) + "(";
  const char* separator = "";
  for (const BSTR argument : arguments) {
    text += separator + Quoted(argument);
    separator = ", ";
  }
  return text + ")";
}

RecordEntry Record(BSTR dataBase, BSTR hostData1, BSTR hostData2, BSTR label, BSTR detail) {
  return {NarrowFromBstr(dataBase), NarrowFromBstr(hostData1), NarrowFromBstr(hostData2),
          NarrowFromBstr(label), NarrowFromBstr(detail)};
}
}  // namespace

bool WriteFileReplacing(const std::wstring& file, const std::string& text) noexcept {
  const std::wstring temporary = file + L".new";
  const HANDLE out = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool whole =
      WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
      written == text.size() && FlushFileBuffers(out);
  CloseHandle(out);
  if (whole && MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING))
    return true;
  DeleteFileW(temporary.c_str());
  return false;
}

ActivityHost::ActivityHost(HostData data, std::wstring file, HostEvents& events)
    : data_(std::move(data)), file_(std::move(file)), events_(events) {}

HRESULT ActivityHost::QueryInterface(REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid != IID_IUnknown && iid != IID_IHvActivityHost) return E_NOINTERFACE;
  *object = static_cast<IHvActivityHost*>(this);
  AddRef();
  return S_OK;
}

ULONG ActivityHost::AddRef() noexcept { return ++refs_; }
// The owner keeps the object; the count only tells who still holds it.
ULONG ActivityHost::Release() noexcept { return --refs_; }

HRESULT ActivityHost::Answer(const std::string& text, BSTR* out) noexcept {
  if (!out) return E_POINTER;
  *out = BstrFromNarrow(text);
  return *out ? S_OK : E_OUTOFMEMORY;
}

void ActivityHost::Save() noexcept {
  if (!WriteFileReplacing(file_, PrintDataFile(data_)))
    LogLine("  (the data file could not be written; the change is kept in memory only)");
}

HRESULT ActivityHost::KeepListChange() noexcept {
  Save();
  events_.ListsChanged();
  return S_OK;
}

HRESULT ActivityHost::GetQueryMRUs(BSTR* queries) noexcept {
  LogLine("GetQueryMRUs -> " + Entries(data_.queries.size()));
  return Answer(QueryMruText(data_.queries), queries);
}

HRESULT ActivityHost::GetRecordMRUs(BSTR* records) noexcept {
  LogLine("GetRecordMRUs -> " + Entries(data_.records.size()));
  return Answer(RecordMruText(data_.records), records);
}

HRESULT ActivityHost::ChangeDataBase() noexcept {
  std::string choice;
  if (!events_.PickDataBase(data_, choice)) {
    LogLine("ChangeDataBase -> cancelled");
    return S_FALSE;
  }
  LogLine("ChangeDataBase -> " + Quoted(choice));
  data_.current_data_base = choice;
  Save();
  events_.DataBaseChanged();
  return S_OK;
}

HRESULT ActivityHost::GetCurrentDataBase(BSTR* dataBase) noexcept {
  LogLine("GetCurrentDataBase -> " + Quoted(data_.current_data_base));
  return Answer(data_.current_data_base, dataBase);
}

HRESULT ActivityHost::GetRecordTypes(BSTR dataBase, BSTR* recordTypes) noexcept {
  const std::string name = NarrowFromBstr(dataBase);
  std::size_t count = 0;
  for (const DataBase& base : data_.data_bases)
    if (base.name == name) count = base.record_types.size();
  LogLine(Call("GetRecordTypes", {dataBase}) + " -> " + std::to_string(count) + " types");
  return Answer(RecordTypesText(data_, name), recordTypes);
}

HRESULT ActivityHost::SubmitRecord(BSTR dataBase, BSTR recordType) noexcept {
  std::string type = NarrowFromBstr(recordType);
  if (!recordType) type = events_.DefaultRecordType();
  LogLine(Call("SubmitRecord", {dataBase, recordType}) + " -> new " + Quoted(type));
  // The new record is what the user looks at next, so it heads the list.
  MoveToTop(data_.records, {NarrowFromBstr(dataBase), "new", type, "New " + type, ""});
  return KeepListChange();
}

HRESULT ActivityHost::ViewRecord(BSTR dataBase, BSTR hostData1, BSTR hostData2, BSTR label,
                                 BSTR detail) noexcept {
  LogLine(Call("ViewRecord", {dataBase, hostData1, hostData2, label, detail}));
  MoveToTop(data_.records, Record(dataBase, hostData1, hostData2, label, detail));
  return KeepListChange();
}

HRESULT ActivityHost::RunQuery(BSTR dataBase, BSTR queryName) noexcept {
  QueryEntry query{NarrowFromBstr(dataBase), NarrowFromBstr(queryName)};
  if (!dataBase && !queryName) query = {data_.current_data_base, kDefaultQuery};
  LogLine(Call("RunQuery", {dataBase, queryName}) + " -> runs " + Quoted(query.query_name) +
          " in " + Quoted(query.data_base));
  MoveToTop(data_.queries, query);
  return KeepListChange();
}

HRESULT ActivityHost::GetRegistryKey(BSTR* keyPath) noexcept {
  LogLine("GetRegistryKey -> " + Quoted(data_.registry_key));
  return Answer(data_.registry_key, keyPath);
}

HRESULT ActivityHost::RemoveRecordMRU(BSTR dataBase, BSTR hostData1, BSTR hostData2, BSTR label,
                                      BSTR detail) noexcept {
  const bool removed =
      RemoveEntry(data_.records, Record(dataBase, hostData1, hostData2, label, detail));
  LogLine(Call("RemoveRecordMRU", {dataBase, hostData1, hostData2, label, detail}) +
          (removed ? "" : " -> not in the list"));
  if (removed) Save();
  return removed ? S_OK : S_FALSE;
}

HRESULT ActivityHost::RemoveQueryMRU(BSTR dataBase, BSTR queryName) noexcept {
  const bool removed =
      RemoveEntry(data_.queries, {NarrowFromBstr(dataBase), NarrowFromBstr(queryName)});
  LogLine(Call("RemoveQueryMRU", {dataBase, queryName}) + (removed ? "" : " -> not in the list"));
  if (removed) Save();
  return removed ? S_OK : S_FALSE;
}
