#include "page/activity_ctrl.h"

#include <new>

namespace {
// Every interface the object answers, and how to reach it from the object.
struct InterfaceEntry {
  const IID* iid;
  IUnknown* (*cast)(CActivityCtrl* object);
};

const InterfaceEntry kInterfaces[] = {
    {&IID_IUnknown,
     [](CActivityCtrl* object) -> IUnknown* { return static_cast<IHpAdviseEvents*>(object); }},
    {&IID_IHpAdviseEvents,
     [](CActivityCtrl* object) -> IUnknown* { return static_cast<IHpAdviseEvents*>(object); }},
    {&IID_IHvProjectList,
     [](CActivityCtrl* object) -> IUnknown* { return static_cast<IHvProjectList*>(object); }},
};
}  // namespace

HRESULT CreateActivityCtrl(IUnknown* outer, REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  auto* created = new (std::nothrow) CActivityCtrl();
  if (!created) return E_OUTOFMEMORY;
  created->AddRef();
  const HRESULT result = created->QueryInterface(iid, object);
  created->Release();
  return result;
}

CActivityCtrl::~CActivityCtrl() {
  // The window's last messages still reach this object's map.
  DestroyPageWindow();
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::QueryInterface(REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  for (const InterfaceEntry& entry : kInterfaces) {
    if (IsEqualIID(iid, *entry.iid)) {
      IUnknown* found = entry.cast(this);
      found->AddRef();
      *object = found;
      return S_OK;
    }
  }
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CActivityCtrl::AddRef() noexcept { return ++references_; }

ULONG STDMETHODCALLTYPE CActivityCtrl::Release() noexcept {
  const ULONG remaining = --references_;
  if (remaining == 0) delete this;
  return remaining;
}
