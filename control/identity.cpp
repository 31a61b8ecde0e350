// The control's COM identity: the interface table, the non-delegating
// IUnknown that answers it, and the delegating IUnknown of every interface.
#include <new>

#include "control/activity_ctrl.h"

namespace {

struct InterfaceEntry {
  const IID* iid;
  IUnknown* (*cast)(CActivityCtrl* object);
};

template <class Interface>
IUnknown* As(CActivityCtrl* object) {
  return static_cast<Interface*>(object);
}

// Searched in this order; IUnknown itself is the inner unknown's answer.
const InterfaceEntry kInterfaces[] = {
    {&IID_IHvActivityCtrl, &As<IHvActivityCtrl>},
    {&IID_IDispatch, &As<IHvActivityCtrl>},
    {&IID_IViewObjectEx, &As<IViewObjectEx>},
    {&IID_IViewObject2, &As<IViewObjectEx>},
    {&IID_IViewObject, &As<IViewObjectEx>},
    {&IID_IOleInPlaceObjectWindowless, &As<IOleInPlaceObjectWindowless>},
    {&IID_IOleInPlaceObject, &As<IOleInPlaceObjectWindowless>},
    {&IID_IOleWindow, &As<IOleInPlaceObjectWindowless>},
    {&IID_IOleInPlaceActiveObject, &As<IOleInPlaceActiveObject>},
    {&IID_IOleControl, &As<IOleControl>},
    {&IID_IOleObject, &As<IOleObject>},
    {&IID_IPersistStreamInit, &As<IPersistStreamInit>},
    {&IID_IPersist, &As<IPersistStreamInit>},
    {&IID_ISupportErrorInfo, &As<ISupportErrorInfo>},
    {&IID_IConnectionPointContainer, &As<IConnectionPointContainer>},
    {&IID_ISpecifyPropertyPages, &As<ISpecifyPropertyPages>},
    {&IID_IQuickActivate, &As<IQuickActivate>},
    {&IID_IPersistStorage, &As<IPersistStorage>},
    {&IID_IDataObject, &As<IDataObject>},
    {&IID_IProvideClassInfo2, &As<IProvideClassInfo2>},
    {&IID_IProvideClassInfo, &As<IProvideClassInfo2>},
    {&IID_IHpAdviseEvents, &As<IHpAdviseEvents>},
    {&IID_IHvProjectList, &As<IHvProjectList>},
};

}  // namespace

HRESULT CreateActivityCtrl(IUnknown* outer, HMODULE resources, REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
  auto* created = new (std::nothrow) CActivityCtrl(outer, resources);
  if (!created) return E_OUTOFMEMORY;
  IUnknown* inner = created->InnerUnknown();
  inner->AddRef();
  const HRESULT result = inner->QueryInterface(iid, object);
  inner->Release();
  return result;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::Inner::QueryInterface(REFIID iid,
                                                               void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(iid, IID_IUnknown)) {
    *object = static_cast<IUnknown*>(this);
    AddRef();
    return S_OK;
  }
  for (const InterfaceEntry& entry : kInterfaces) {
    if (!IsEqualIID(iid, *entry.iid)) continue;
    IUnknown* found = entry.cast(owner_);
    // Counted on the controlling unknown, as every interface of the object.
    found->AddRef();
    *object = found;
    return S_OK;
  }
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CActivityCtrl::Inner::AddRef() noexcept { return ++owner_->references_; }

ULONG STDMETHODCALLTYPE CActivityCtrl::Inner::Release() noexcept {
  const ULONG remaining = --owner_->references_;
  if (remaining == 0) {
    // Held up while it goes, so that a sink or site calling back into the
    // object during destruction cannot start a second one.
    owner_->references_ = 1;
    delete owner_;
  }
  return remaining;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::QueryInterface(REFIID iid, void** object) noexcept {
  return controlling_->QueryInterface(iid, object);
}

ULONG STDMETHODCALLTYPE CActivityCtrl::AddRef() noexcept { return controlling_->AddRef(); }

ULONG STDMETHODCALLTYPE CActivityCtrl::Release() noexcept { return controlling_->Release(); }
