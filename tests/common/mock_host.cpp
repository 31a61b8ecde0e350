#include "common/mock_host.h"

BSTR MakeBstr(const std::string& utf8) {
  const int length = static_cast<int>(utf8.size());
  const int characters =
      length ? MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0) : 0;
  BSTR text = SysAllocStringLen(nullptr, static_cast<UINT>(characters));
  if (characters) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, text, characters);
  return text;
}

void MockHost::Called(std::string line) {
  if (count <= 0) ADD_FAILURE() << "call on a released host: " << line;
  log.Add(line);
  if (during) during(line.substr(0, line.find('(')));
}

HRESULT MockHost::Answer(const char* method, const std::optional<std::string>& answer,
                         BSTR* slot) {
  const bool arrived_null = slot && !*slot;
  Called(LogCall(method, {arrived_null ? "null" : "NOT NULL"}));
  if (slot && answer) *slot = MakeBstr(*answer);
  return result;
}

HRESULT MockHost::QueryInterface(REFIID iid, void** object) noexcept {
  log.Add("QueryInterface");
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown)) return E_NOINTERFACE;
  *object = static_cast<IUnknown*>(this);
  AddRef();
  return S_OK;
}

ULONG MockHost::AddRef() noexcept { return CountAddRef("host"); }

ULONG MockHost::Release() noexcept { return CountRelease("host"); }

HRESULT MockHost::GetQueryMRUs(BSTR* queries) noexcept {
  return Answer("GetQueryMRUs", query_mrus, queries);
}
HRESULT MockHost::GetRecordMRUs(BSTR* records) noexcept {
  return Answer("GetRecordMRUs", record_mrus, records);
}
HRESULT MockHost::ChangeDataBase() noexcept {
  Called(LogCall("ChangeDataBase"));
  return result;
}
HRESULT MockHost::GetCurrentDataBase(BSTR* dataBase) noexcept {
  return Answer("GetCurrentDataBase", current_database, dataBase);
}
HRESULT MockHost::GetRecordTypes(BSTR dataBase, BSTR* recordTypes) noexcept {
  const bool arrived_null = recordTypes && !*recordTypes;
  Called(LogCall("GetRecordTypes", {LogText(dataBase), arrived_null ? "null" : "NOT NULL"}));
  if (recordTypes && record_types) *recordTypes = MakeBstr(*record_types);
  return result;
}
HRESULT MockHost::SubmitRecord(BSTR dataBase, BSTR recordType) noexcept {
  Called(LogCall("SubmitRecord", {LogText(dataBase), LogText(recordType)}));
  return result;
}
HRESULT MockHost::ViewRecord(BSTR dataBase, BSTR hostData1, BSTR hostData2, BSTR label,
                             BSTR detail) noexcept {
  Called(LogCall("ViewRecord", {LogText(dataBase), LogText(hostData1), LogText(hostData2),
                                LogText(label), LogText(detail)}));
  return result;
}
HRESULT MockHost::RunQuery(BSTR dataBase, BSTR queryName) noexcept {
  Called(LogCall("RunQuery", {LogText(dataBase), LogText(queryName)}));
  return result;
}
HRESULT MockHost::GetRegistryKey(BSTR* keyPath) noexcept {
  return Answer("GetRegistryKey", registry_key, keyPath);
}
HRESULT MockHost::RemoveRecordMRU(BSTR dataBase, BSTR hostData1, BSTR hostData2, BSTR label,
                                  BSTR detail) noexcept {
  Called(LogCall("RemoveRecordMRU", {LogText(dataBase), LogText(hostData1), LogText(hostData2),
                                     LogText(label), LogText(detail)}));
  return result;
}
HRESULT MockHost::RemoveQueryMRU(BSTR dataBase, BSTR queryName) noexcept {
  Called(LogCall("RemoveQueryMRU", {LogText(dataBase), LogText(queryName)}));
  return result;
}
