#pragma once
// A recording IHvActivityHost for page tests. Every call is logged with its
// arguments (LogText: null versus "" kept apart); the getters answer what the
// test configured (no answer: the slot is left null) and every method returns
// its configured HRESULT. The object belongs to the test and is never deleted
// by its count; any call made after the count fell to zero is reported as a
// test failure, as the use of a freed object.
//
// Armed (`armed_method` set), the host misbehaves in that one method: on
// every call that is not already inside a misdeed it logs "Method
// misbehaving" and does `misdeed`. A misdeed that answers the call ends it
// there; one that acts on the page (drops it, calls back into it) then lets
// the call go on as an unarmed host's, arguments read only afterwards.
#include <chrono>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

#include "common/call_log.h"
#include "common/ref_counts.h"
#include "include/PellwickHost.h"

enum class Misdeed {
  kFailLeavingNull,   // E_FAIL, out-argument untouched (null)
  kHugeText,          // a 64 MiB answer
  kBrokenUtf16,       // unpaired surrogates and an embedded NUL
  kDropPage,          // runs `drop_page`, which releases the last reference to the page
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

class MockHost : public IHvActivityHost, public RefCounts {
 public:
  // IUnknown: only IUnknown is answered; QueryInterface calls are logged.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;

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

  CallLog log;
  // Answers, as UTF-8 text converted to UTF-16; nullopt leaves the slot null.
  std::optional<std::string> query_mrus, record_mrus, current_database, record_types,
      registry_key;
  HRESULT result = S_OK;  // what every method returns
  // Runs inside every method after it is logged, with the method's name: lets
  // a test make the host call back into the page.
  std::function<void(const std::string& method)> during;
  // Time spent making answers: a benchmark leaves the host's share out of
  // what it charges to the page.
  std::chrono::steady_clock::duration answering{};

  std::string armed_method;  // e.g. "GetRecordMRUs"; empty: behaves well
  Misdeed misdeed = Misdeed::kFailLeavingNull;
  int misdeeds_done = 0;
  // The page as the host reaches it, and what the test does for kDropPage.
  IHpAdviseEvents* advise = nullptr;
  IHvProjectList* project = nullptr;
  std::function<void()> drop_page;

 private:
  // One call: the misdeed if armed, then the log line (the arguments, and
  // for a getter whether its slot arrived null) and the configured answer.
  HRESULT Call(const char* method, std::initializer_list<BSTR> arguments,
               const std::optional<std::string>* answer = nullptr, BSTR* slot = nullptr);
  // True when the misdeed answered the call itself (`slot` set or left
  // null, `answered` to return); false to go on as an unarmed host.
  bool Misbehave(const char* method, BSTR* slot, HRESULT& answered);
  void Called(const std::string& line);
  bool inside_ = false;
};

// UTF-8 test text to a new BSTR owned by the caller (for host answers and
// in-arguments of page methods).
BSTR MakeBstr(const std::string& utf8);
