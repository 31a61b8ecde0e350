#pragma once
// CPellwickModule: the one process-wide module object. It counts module locks
// (the DLL stays loaded while any is held), keeps the shut-down callbacks that
// release cached shared data, guards one-time initialisation of that data, and
// hands out the process's global interface table.
#include <windows.h>
#include <objidl.h>

#include <vector>

#include "framework/registry_script_parser.h"  // ScriptVariable

// Set by any start-up record that cannot create its lock; the DLL then
// refuses to load.
void MarkInitFailed() noexcept;
bool InitFailed() noexcept;

using ShutdownCallback = void (*)(void* argument);

class CPellwickModule {
 public:
  // Creates the static-data lock; on failure marks the start-up as failed and
  // stays uninitialised (Initialized() false, no callbacks accepted).
  CPellwickModule() noexcept;
  ~CPellwickModule();
  CPellwickModule(const CPellwickModule&) = delete;
  CPellwickModule& operator=(const CPellwickModule&) = delete;

  bool Initialized() const noexcept { return initialized_; }

  LONG Lock() noexcept;    // the new count
  LONG Unlock() noexcept;  // the new count
  LONG GetLockCount() const noexcept;

  // Guards one-time initialisation of shared static data. Only while Initialized().
  void EnterStaticDataLock() noexcept;
  void LeaveStaticDataLock() noexcept;

  // Runs `callback(argument)` at Terminate(), newest first. E_OUTOFMEMORY or
  // E_UNEXPECTED (not initialised) leave the list unchanged.
  HRESULT AddShutdownCallback(ShutdownCallback callback, void* argument) noexcept;

  // The process's global interface table with one reference for the caller;
  // created on first use, the module keeps its own reference until Terminate().
  // A creation failure is returned and leaves *table null.
  HRESULT GetGlobalInterfaceTable(IGlobalInterfaceTable** table) noexcept;

  // Adds the variables every registration script may use ("APPID").
  void AddCommonReplacements(std::vector<ScriptVariable>& variables) const;

  // Runs the shut-down callbacks, drops the global interface table and the
  // lock. Runs once; later calls (and the destructor) do nothing.
  void Terminate() noexcept;

 private:
  struct CallbackNode {
    ShutdownCallback callback;
    void* argument;
    CallbackNode* next;
  };

  volatile LONG lock_count_ = 0;
  CallbackNode* callbacks_ = nullptr;
  IGlobalInterfaceTable* git_ = nullptr;
  CRITICAL_SECTION static_data_lock_;
  bool initialized_ = false;
};

// The module object of this process (the DLL's, or a test program's own).
CPellwickModule& PellwickModule() noexcept;

// Identifiers held by the module.
extern const GUID kPellwickLibId;        // {24919A8D-2502-49CA-B37B-C348EE6E708C}
extern const wchar_t kPellwickAppId[];   // "{4CA564D7-4F81-4C2C-9429-6609A57D26A5}"
