#pragma once
// A COM object for tests that counts every AddRef and Release, so a test can
// assert exact totals; it is never deleted by its count.
#include <unknwn.h>

#include "common/ref_counts.h"

class CountingUnknown : public IUnknown, public RefCounts {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown)) return E_NOINTERFACE;
    *out = static_cast<IUnknown*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return CountAddRef("object"); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return CountRelease("object"); }
};
