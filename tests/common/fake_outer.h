#pragma once
// The outer object of an aggregate: it answers IUnknown itself and hands
// every other interface to the inner object it holds, counting the queries.
#include <unknwn.h>

#include "common/ref_counts.h"

class FakeOuter : public IUnknown, public RefCounts {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override {
    ++queries;
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown)) {
      *object = static_cast<IUnknown*>(this);
      AddRef();
      return S_OK;
    }
    if (!inner) return E_NOINTERFACE;
    return inner->QueryInterface(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return CountAddRef("outer object"); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return CountRelease("outer object"); }

  IUnknown* inner = nullptr;  // one reference, given back by the test
  int queries = 0;            // calls to QueryInterface
};
