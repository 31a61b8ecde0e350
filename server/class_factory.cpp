#include "server/class_factory.h"

#include <new>

#include "framework/module_lock.h"

namespace {

class ClassObject final : public IClassFactory {
 public:
  explicit ClassObject(InstanceCreator creator) noexcept : creator_(creator) {}
  ~ClassObject() {
    if (lock_ready_) DeleteCriticalSection(&lock_);
  }

  HRESULT Init() noexcept {
    if (!InitializeCriticalSectionAndSpinCount(&lock_, 0)) {
      const DWORD error = GetLastError();
      return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
    }
    lock_ready_ = true;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory))
      return E_NOINTERFACE;
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }

  // The count and the module lock change together, so a concurrent AddRef and
  // Release cannot leave the module unlocked while an outside reference exists.
  ULONG STDMETHODCALLTYPE AddRef() noexcept override {
    EnterCriticalSection(&lock_);
    const ULONG count = ++references_;
    if (count == 2) LockModule();
    LeaveCriticalSection(&lock_);
    return count;
  }

  ULONG STDMETHODCALLTYPE Release() noexcept override {
    EnterCriticalSection(&lock_);
    const ULONG count = --references_;
    if (count == 1) UnlockModule();
    LeaveCriticalSection(&lock_);
    if (count == 0) delete this;
    return count;
  }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid,
                                           void** object) noexcept override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    return creator_(outer, iid, object);
  }

  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override {
    if (lock)
      LockModule();
    else
      UnlockModule();
    return S_OK;
  }

 private:
  InstanceCreator creator_;
  ULONG references_ = 0;
  CRITICAL_SECTION lock_;
  bool lock_ready_ = false;
};

}  // namespace

HRESULT CreateClassObject(InstanceCreator creator, REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  auto* created = new (std::nothrow) ClassObject(creator);
  if (!created) return E_OUTOFMEMORY;
  HRESULT result = created->Init();
  if (FAILED(result)) {
    delete created;
    return result;
  }
  // The query takes the first reference; a failed one leaves none, so the
  // object is deleted here.
  result = created->QueryInterface(iid, object);
  if (FAILED(result)) delete created;
  return result;
}
