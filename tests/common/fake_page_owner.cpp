#include "common/fake_page_owner.h"

ComPtr<FakePageOwner> FakePageOwner::New() {
  ComPtr<FakePageOwner> owner;
  owner.attach(new FakePageOwner);
  return owner;
}

HRESULT FakePageOwner::QueryInterface(REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IHpAdviseEvents))
    *object = static_cast<IHpAdviseEvents*>(this);
  else if (IsEqualIID(iid, IID_IHvProjectList))
    *object = static_cast<IHvProjectList*>(this);
  if (!*object) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG FakePageOwner::Release() noexcept {
  const ULONG remaining = --references_;
  if (remaining == 0) {
    // The page's window goes with it, and the page asks for no lifetime then.
    destroying_ = true;
    delete this;
  }
  return remaining;
}
