#pragma once
// The table of served classes and the class-object request on it. The table
// owns one reference to each cached class object until Terminate().
#include <windows.h>
#include <unknwn.h>

#include "server/class_factory.h"

struct ClassEntry {
  const CLSID* clsid;
  // Writes (true) or removes (false) the class's registration.
  HRESULT (*update_registry)(bool register_mode) noexcept;
  HRESULT (*create_class_object)(InstanceCreator creator, REFIID iid, void** object) noexcept;
  InstanceCreator create_instance;
  IUnknown* class_object;  // cached; null until the first request
};

class ClassTable {
 public:
  using LockInitializer = BOOL(WINAPI*)(LPCRITICAL_SECTION lock, DWORD spin_count);

  // Creates the table lock with `initialize_lock`; on failure marks the
  // start-up as failed and every request gives E_UNEXPECTED.
  ClassTable(ClassEntry* first, ClassEntry* last,
             LockInitializer initialize_lock = &InitializeCriticalSectionAndSpinCount) noexcept;
  ~ClassTable();
  ClassTable(const ClassTable&) = delete;
  ClassTable& operator=(const ClassTable&) = delete;

  bool Initialized() const noexcept { return initialized_; }

  // The class object for `clsid`, queried for `iid`. E_POINTER for a null
  // `object`; otherwise `*object` is cleared first and stays null on failure:
  // E_UNEXPECTED (not initialised), CLASS_E_CLASSNOTAVAILABLE, the creation
  // error, or the query's error.
  HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object) noexcept;

  // Runs every class's registration routine in table order; stops at the first failure.
  HRESULT UpdateRegistry(bool register_mode) const noexcept;

  // Whether `holds` is true of any class's CLSID.
  bool AnyClass(bool (*holds)(const CLSID& clsid) noexcept) const noexcept;

  // Releases and clears the cached class objects and deletes the lock. Runs
  // once; later calls (and the destructor) do nothing.
  void Terminate() noexcept;

 private:
  ClassEntry* first_;
  ClassEntry* last_;
  CRITICAL_SECTION lock_;
  bool initialized_ = false;
};
