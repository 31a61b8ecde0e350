#pragma once
// The module lock count: while it is above zero the DLL must stay loaded.
// Every COM object of the component takes one lock for its lifetime. A thin
// front for the count of this image's module object (framework/com_module.h).
#include <windows.h>

LONG LockModule() noexcept;    // returns the new count
LONG UnlockModule() noexcept;  // returns the new count

// Holds one module lock for the lifetime of the object that embeds it.
class ModuleLockHolder {
 public:
  ModuleLockHolder() noexcept { LockModule(); }
  ~ModuleLockHolder() { UnlockModule(); }
  ModuleLockHolder(const ModuleLockHolder&) = delete;
  ModuleLockHolder& operator=(const ModuleLockHolder&) = delete;
};
