#pragma once
// A host that misbehaves in one method at a time. It answers like MockHost
// (same log, same configured texts, same check against calls made after its
// count fell to zero) except in the armed method, where it does the armed
// misdeed on every call that is not already inside a misdeed.
#include <functional>
#include <string>

#include "common/mock_host.h"

enum class Misdeed {
  kFailLeavingNull,   // E_FAIL, out-argument untouched (null)
  kHugeText,          // a 64 MiB answer
  kBrokenUtf16,       // unpaired surrogates and an embedded NUL
  kDropPage,          // releases the last reference to the page
  kSetHostNull,       // SetActivityHost(NULL) on the page
  kReleaseItself,     // gives up its own last reference via SetActivityHost(NULL)
  kRefreshMRUs,       // RefreshMRUs on the page, re-entrantly
  kDataBaseOpened,    // DataBaseOpened on the page, re-entrantly
};

const char* MisdeedName(Misdeed misdeed);
bool IsTextMisdeed(Misdeed misdeed);

// 64 MiB of UTF-16: one huge first field, then line feeds enough for one
// recently-viewed entry and an empty record-type name.
extern const UINT kHugeTextCharacters;
BSTR MakeHugeText();
BSTR MakeBrokenUtf16Text();

class HostileHost : public MockHost {
 public:
  HRESULT STDMETHODCALLTYPE GetQueryMRUs(BSTR* queries) noexcept override;
  HRESULT STDMETHODCALLTYPE GetRecordMRUs(BSTR* records) noexcept override;
  HRESULT STDMETHODCALLTYPE ChangeDataBase() noexcept override;
  HRESULT STDMETHODCALLTYPE GetCurrentDataBase(BSTR* dataBase) noexcept override;
  HRESULT STDMETHODCALLTYPE GetRecordTypes(BSTR dataBase, BSTR* recordTypes) noexcept override;
  HRESULT STDMETHODCALLTYPE SubmitRecord(BSTR dataBase, BSTR recordType) noexcept override;
  HRESULT STDMETHODCALLTYPE ViewRecord(BSTR dataBase, BSTR hostData1, BSTR hostData2, BSTR label,
                                       BSTR detail) noexcept override;
  HRESULT STDMETHODCALLTYPE RunQuery(BSTR dataBase, BSTR queryName) noexcept override;
  HRESULT STDMETHODCALLTYPE GetRegistryKey(BSTR* keyPath) noexcept override;
  HRESULT STDMETHODCALLTYPE RemoveRecordMRU(BSTR dataBase, BSTR hostData1, BSTR hostData2,
                                            BSTR label, BSTR detail) noexcept override;
  HRESULT STDMETHODCALLTYPE RemoveQueryMRU(BSTR dataBase, BSTR queryName) noexcept override;

  std::string armed_method;  // e.g. "GetRecordMRUs"; empty: behaves well
  Misdeed misdeed = Misdeed::kFailLeavingNull;
  int misdeeds_done = 0;
  // The page as the host reaches it, and what the test does for kDropPage.
  IHpAdviseEvents* advise = nullptr;
  IHvProjectList* project = nullptr;
  std::function<void()> drop_page;

 private:
  // True when the misdeed answered the call itself (`slot` set or left
  // null, `result` to return); false to answer as MockHost does.
  bool Misbehave(const char* method, BSTR* slot, HRESULT& result);
  bool inside_ = false;
};
