#include "server/class_table.h"

#include "server/module.h"

namespace {

IUnknown* ReadCached(ClassEntry& entry) noexcept {
  return static_cast<IUnknown*>(
      InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(&entry.class_object),
                                        nullptr, nullptr));
}

}  // namespace

ClassTable::ClassTable(ClassEntry* first, ClassEntry* last,
                       LockInitializer initialize_lock) noexcept
    : first_(first), last_(last) {
  if (!initialize_lock(&lock_, 0)) {
    MarkInitFailed();
    return;
  }
  initialized_ = true;
}

ClassTable::~ClassTable() { Terminate(); }

HRESULT ClassTable::GetClassObject(REFCLSID clsid, REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!initialized_) return E_UNEXPECTED;

  ClassEntry* entry = first_;
  while (entry != last_ && !(entry->create_class_object && IsEqualCLSID(*entry->clsid, clsid)))
    ++entry;
  if (entry == last_) return CLASS_E_CLASSNOTAVAILABLE;

  HRESULT result = S_OK;
  if (!ReadCached(*entry)) {
    EnterCriticalSection(&lock_);
    if (!entry->class_object) {
      IUnknown* created = nullptr;
      result = entry->create_class_object(entry->create_instance, IID_IUnknown,
                                          reinterpret_cast<void**>(&created));
      if (SUCCEEDED(result))
        InterlockedExchangePointer(reinterpret_cast<void* volatile*>(&entry->class_object),
                                   created);
    }
    LeaveCriticalSection(&lock_);
  }
  if (IUnknown* cached = ReadCached(*entry)) result = cached->QueryInterface(iid, object);
  if (!*object && result == S_OK) return CLASS_E_CLASSNOTAVAILABLE;
  return result;
}

HRESULT ClassTable::UpdateRegistry(bool register_mode) const noexcept {
  for (const ClassEntry* entry = first_; entry != last_; ++entry) {
    const HRESULT result = entry->update_registry(register_mode);
    if (FAILED(result)) return result;
  }
  return S_OK;
}

bool ClassTable::AnyClass(bool (*holds)(const CLSID& clsid) noexcept) const noexcept {
  for (const ClassEntry* entry = first_; entry != last_; ++entry) {
    if (holds(*entry->clsid)) return true;
  }
  return false;
}

void ClassTable::Terminate() noexcept {
  if (!initialized_) return;
  initialized_ = false;
  for (ClassEntry* entry = first_; entry != last_; ++entry) {
    if (entry->class_object) entry->class_object->Release();
    entry->class_object = nullptr;
  }
  DeleteCriticalSection(&lock_);
}
