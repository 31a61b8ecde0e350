#pragma once
// A host for the benchmarks: it serves two prepared recently-viewed texts and
// a current database, and answers everything else with nothing. The time it
// spends making its list answers is the host's, not the page's, so it is kept
// apart for the benchmarks that leave it out. Static: counts do not govern
// its lifetime.
#include <windows.h>

#include <chrono>
#include <string>

#include "include/PellwickHost.h"

class BenchHost : public IHvActivityHost {
 public:
  std::wstring records, queries;
  std::chrono::steady_clock::duration answering{};

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) noexcept override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return 2; }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return 1; }
  HRESULT STDMETHODCALLTYPE GetQueryMRUs(BSTR* text) noexcept override {
    return Answer(queries, text);
  }
  HRESULT STDMETHODCALLTYPE GetRecordMRUs(BSTR* text) noexcept override {
    return Answer(records, text);
  }
  HRESULT STDMETHODCALLTYPE ChangeDataBase() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetCurrentDataBase(BSTR* name) noexcept override {
    *name = SysAllocString(L"current");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetRecordTypes(BSTR, BSTR*) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SubmitRecord(BSTR, BSTR) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ViewRecord(BSTR, BSTR, BSTR, BSTR, BSTR) noexcept override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE RunQuery(BSTR, BSTR) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetRegistryKey(BSTR*) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveRecordMRU(BSTR, BSTR, BSTR, BSTR, BSTR) noexcept override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE RemoveQueryMRU(BSTR, BSTR) noexcept override { return S_OK; }

 private:
  HRESULT Answer(const std::wstring& text, BSTR* out) noexcept {
    const auto start = std::chrono::steady_clock::now();
    *out = text.empty() ? nullptr : SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    answering += std::chrono::steady_clock::now() - start;
    return S_OK;
  }
};
