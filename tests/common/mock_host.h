#pragma once
// A recording IHvActivityHost for page tests. Every call is logged with its
// arguments (LogText: null versus "" kept apart); the getters answer what the
// test configured (no answer: the slot is left null) and every method returns
// its configured HRESULT. The object belongs to the test and is never deleted
// by its count; any call made after the count fell to zero is reported as a
// test failure, as the use of a freed object.
#include <functional>
#include <optional>
#include <string>

#include "common/call_log.h"
#include "common/ref_counts.h"
#include "include/PellwickHost.h"

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

 private:
  HRESULT Answer(const char* method, const std::optional<std::string>& answer, BSTR* slot);
  void Called(std::string line);
};

// UTF-8 test text to a new BSTR owned by the caller (for host answers and
// in-arguments of page methods).
BSTR MakeBstr(const std::string& utf8);
