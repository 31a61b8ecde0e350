#include "common/hostile_host.h"

#include <vector>

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

bool HostileHost::Misbehave(const char* method, BSTR* slot, HRESULT& result) {
  if (inside_ || armed_method != method) return false;
  // A host gives up its own reference only once. One huge answer is enough:
  // showing 32 million characters in an edit control takes Wine half a minute.
  if ((misdeed == Misdeed::kReleaseItself || misdeed == Misdeed::kHugeText) && misdeeds_done > 0)
    return false;
  // Logged (and checked against use after release) as any call is.
  if (count <= 0) ADD_FAILURE() << "call on a released host: " << method;
  log.Add(std::string(method) + " misbehaving");
  inside_ = true;
  ++misdeeds_done;
  result = S_OK;
  bool answered = true;
  switch (misdeed) {
    case Misdeed::kFailLeavingNull:
      result = E_FAIL;
      break;
    case Misdeed::kHugeText:
      if (slot) *slot = MakeHugeText();
      break;
    case Misdeed::kBrokenUtf16:
      if (slot) *slot = MakeBrokenUtf16Text();
      break;
    case Misdeed::kDropPage:
      if (drop_page) drop_page();
      answered = false;
      break;
    case Misdeed::kSetHostNull:
      advise->SetActivityHost(nullptr);
      answered = false;
      break;
    case Misdeed::kReleaseItself:
      --count;  // the test's own reference: the page's is now the last
      advise->SetActivityHost(nullptr);
      result = S_OK;
      break;
    case Misdeed::kRefreshMRUs:
      project->RefreshMRUs();
      answered = false;
      break;
    case Misdeed::kDataBaseOpened: {
      BSTR name = MakeBstr("reentrant");
      project->DataBaseOpened(name);
      SysFreeString(name);
      answered = false;
      break;
    }
  }
  inside_ = false;
  return answered;
}

#define HOSTILE_GETTER(Method, slot)            \
  HRESULT result = S_OK;                        \
  if (Misbehave(#Method, slot, result)) return result;

HRESULT HostileHost::GetQueryMRUs(BSTR* queries) noexcept {
  HOSTILE_GETTER(GetQueryMRUs, queries)
  return MockHost::GetQueryMRUs(queries);
}
HRESULT HostileHost::GetRecordMRUs(BSTR* records) noexcept {
  HOSTILE_GETTER(GetRecordMRUs, records)
  return MockHost::GetRecordMRUs(records);
}
HRESULT HostileHost::ChangeDataBase() noexcept {
  HOSTILE_GETTER(ChangeDataBase, nullptr)
  return MockHost::ChangeDataBase();
}
HRESULT HostileHost::GetCurrentDataBase(BSTR* dataBase) noexcept {
  HOSTILE_GETTER(GetCurrentDataBase, dataBase)
  return MockHost::GetCurrentDataBase(dataBase);
}
HRESULT HostileHost::GetRecordTypes(BSTR dataBase, BSTR* recordTypes) noexcept {
  HOSTILE_GETTER(GetRecordTypes, recordTypes)
  return MockHost::GetRecordTypes(dataBase, recordTypes);
}
HRESULT HostileHost::SubmitRecord(BSTR dataBase, BSTR recordType) noexcept {
  HOSTILE_GETTER(SubmitRecord, nullptr)
  return MockHost::SubmitRecord(dataBase, recordType);
}
HRESULT HostileHost::ViewRecord(BSTR dataBase, BSTR hostData1, BSTR hostData2, BSTR label,
                                BSTR detail) noexcept {
  HOSTILE_GETTER(ViewRecord, nullptr)
  return MockHost::ViewRecord(dataBase, hostData1, hostData2, label, detail);
}
HRESULT HostileHost::RunQuery(BSTR dataBase, BSTR queryName) noexcept {
  HOSTILE_GETTER(RunQuery, nullptr)
  return MockHost::RunQuery(dataBase, queryName);
}
HRESULT HostileHost::GetRegistryKey(BSTR* keyPath) noexcept {
  HOSTILE_GETTER(GetRegistryKey, keyPath)
  return MockHost::GetRegistryKey(keyPath);
}
HRESULT HostileHost::RemoveRecordMRU(BSTR dataBase, BSTR hostData1, BSTR hostData2, BSTR label,
                                     BSTR detail) noexcept {
  HOSTILE_GETTER(RemoveRecordMRU, nullptr)
  return MockHost::RemoveRecordMRU(dataBase, hostData1, hostData2, label, detail);
}
HRESULT HostileHost::RemoveQueryMRU(BSTR dataBase, BSTR queryName) noexcept {
  HOSTILE_GETTER(RemoveQueryMRU, nullptr)
  return MockHost::RemoveQueryMRU(dataBase, queryName);
}
