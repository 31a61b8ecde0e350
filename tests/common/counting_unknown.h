#pragma once
// A COM object for tests that counts every AddRef and Release, so a test can
// assert exact totals; it is never deleted by its count.
#include <unknwn.h>

class CountingUnknown : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown)) return E_NOINTERFACE;
    *out = static_cast<IUnknown*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override {
    ++add_refs;
    return ++count;
  }
  ULONG STDMETHODCALLTYPE Release() noexcept override {
    ++releases;
    return --count;
  }

  long count = 1;
  int add_refs = 0;
  int releases = 0;
};
