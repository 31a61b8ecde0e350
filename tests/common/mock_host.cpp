#include "common/mock_host.h"

const UINT kHugeTextCharacters = 32u * 1024 * 1024;

const char* MisdeedName(Misdeed misdeed) {
  switch (misdeed) {
    case Misdeed::kFailLeavingNull: return "FailLeavingNull";
    case Misdeed::kHugeText: return "HugeText";
    case Misdeed::kBrokenUtf16: return "BrokenUtf16";
    case Misdeed::kDropPage: return "DropPage";
    case Misdeed::kSetHostNull: return "SetHostNull";
    case Misdeed::kReleaseItself: return "ReleaseItself";
    case Misdeed::kRefreshMRUs: return "RefreshMRUs";
    case Misdeed::kDataBaseOpened: return "DataBaseOpened";
  }
  return "?";
}

bool IsTextMisdeed(Misdeed misdeed) {
  return misdeed == Misdeed::kHugeText || misdeed == Misdeed::kBrokenUtf16;
}

BSTR MakeHugeText() {
  BSTR text = SysAllocStringLen(nullptr, kHugeTextCharacters);
  if (!text) return nullptr;
  const UINT lineFeeds = 7;
  for (UINT i = 0; i < kHugeTextCharacters - lineFeeds; ++i) text[i] = L'H';
  for (UINT i = kHugeTextCharacters - lineFeeds; i < kHugeTextCharacters; ++i) text[i] = L'\n';
  return text;
}

BSTR MakeBrokenUtf16Text() {
  // A lone high surrogate, a lone low one, a reversed pair, then a NUL with
  // more text after it that the page must not read.
  static const wchar_t kText[] = {L'a', 0xD800, L'b', L'\n', 0xDC00, L'\n', 0xDC01, 0xD801,
                                  L'\n', L'\n', L'\n', L'\n', 0,      L'x', L'\n', L'y'};
  return SysAllocStringLen(kText, sizeof kText / sizeof kText[0]);
}

BSTR MakeBstr(const std::string& utf8) {
  const int length = static_cast<int>(utf8.size());
  const int characters =
      length ? MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0) : 0;
  BSTR text = SysAllocStringLen(nullptr, static_cast<UINT>(characters));
  if (characters) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, text, characters);
  return text;
}

void MockHost::Called(const std::string& line) {
  if (count <= 0) ADD_FAILURE() << "call on a released host: " << line;
  log.Add(line);
  if (during) during(line.substr(0, line.find('(')));
}

bool MockHost::Misbehave(const char* method, BSTR* slot, HRESULT& answered) {
  if (inside_ || armed_method != method) return false;
  // A host gives up its own reference only once. One huge answer is enough:
  // showing 32 million characters in an edit control takes Wine half a minute.
  if ((misdeed == Misdeed::kReleaseItself || misdeed == Misdeed::kHugeText) && misdeeds_done > 0)
    return false;
  if (count <= 0) ADD_FAILURE() << "call on a released host: " << method;
  log.Add(std::string(method) + " misbehaving");
  inside_ = true;
  ++misdeeds_done;
  answered = S_OK;
  bool done = true;
  switch (misdeed) {
    case Misdeed::kFailLeavingNull:
      answered = E_FAIL;
      break;
    case Misdeed::kHugeText:
      if (slot) *slot = MakeHugeText();
      break;
    case Misdeed::kBrokenUtf16:
      if (slot) *slot = MakeBrokenUtf16Text();
      break;
    case Misdeed::kDropPage:
      if (drop_page) drop_page();
      done = false;
      break;
    case Misdeed::kSetHostNull:
      advise->SetActivityHost(nullptr);
      done = false;
      break;
    case Misdeed::kReleaseItself:
      --count;  // the test's own reference: the page's is now the last
      advise->SetActivityHost(nullptr);
      break;
    case Misdeed::kRefreshMRUs:
      project->RefreshMRUs();
      done = false;
      break;
    case Misdeed::kDataBaseOpened: {
      BSTR name = MakeBstr("reentrant");
      project->DataBaseOpened(name);
      SysFreeString(name);
      done = false;
      break;
    }
  }
  inside_ = false;
  return done;
}

HRESULT MockHost::Call(const char* method, std::initializer_list<BSTR> arguments,
                       const std::optional<std::string>* answer, BSTR* slot) {
  HRESULT answered = S_OK;
  if (Misbehave(method, slot, answered)) return answered;
  std::string line = std::string(method) + "(";
  const char* separator = "";
  for (BSTR argument : arguments) {
    line += separator + LogText(argument);
    separator = ", ";
  }
  if (answer) line += separator + std::string(slot && !*slot ? "null" : "NOT NULL");
  Called(line + ")");
  if (answer && slot && *answer) {
    const auto start = std::chrono::steady_clock::now();
    *slot = MakeBstr(**answer);
    answering += std::chrono::steady_clock::now() - start;
  }
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
  return Call("GetQueryMRUs", {}, &query_mrus, queries);
}
HRESULT MockHost::GetRecordMRUs(BSTR* records) noexcept {
  return Call("GetRecordMRUs", {}, &record_mrus, records);
}
HRESULT MockHost::ChangeDataBase() noexcept { return Call("ChangeDataBase", {}); }
HRESULT MockHost::GetCurrentDataBase(BSTR* dataBase) noexcept {
  return Call("GetCurrentDataBase", {}, &current_database, dataBase);
}
HRESULT MockHost::GetRecordTypes(BSTR dataBase, BSTR* recordTypes) noexcept {
  return Call("GetRecordTypes", {dataBase}, &record_types, recordTypes);
}
HRESULT MockHost::SubmitRecord(BSTR dataBase, BSTR recordType) noexcept {
  return Call("SubmitRecord", {dataBase, recordType});
}
HRESULT MockHost::ViewRecord(BSTR dataBase, BSTR hostData1, BSTR hostData2, BSTR label,
                             BSTR detail) noexcept {
  return Call("ViewRecord", {dataBase, hostData1, hostData2, label, detail});
}
HRESULT MockHost::RunQuery(BSTR dataBase, BSTR queryName) noexcept {
  return Call("RunQuery", {dataBase, queryName});
}
HRESULT MockHost::GetRegistryKey(BSTR* keyPath) noexcept {
  return Call("GetRegistryKey", {}, &registry_key, keyPath);
}
HRESULT MockHost::RemoveRecordMRU(BSTR dataBase, BSTR hostData1, BSTR hostData2, BSTR label,
                                  BSTR detail) noexcept {
  return Call("RemoveRecordMRU", {dataBase, hostData1, hostData2, label, detail});
}
HRESULT MockHost::RemoveQueryMRU(BSTR dataBase, BSTR queryName) noexcept {
  return Call("RemoveQueryMRU", {dataBase, queryName});
}
