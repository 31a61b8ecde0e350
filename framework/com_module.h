#pragma once
// The generic module object of an in-process COM server: the module lock
// count (the DLL stays loaded while any lock is held), the shut-down
// callbacks that release cached shared data, and the static-data lock that
// guards one-time initialisation of that data. The first module object
// constructed in a process image becomes its module (ThisModule()); the
// server's module object is that one.
#include <windows.h>

// Set by any start-up record that cannot create its lock; the DLL then
// refuses to load.
void MarkInitFailed() noexcept;
bool InitFailed() noexcept;

using ShutdownCallback = void (*)(void* argument);

class ComModule {
 public:
  // Creates the static-data lock; on failure marks the start-up as failed and
  // stays uninitialised (Initialized() false, no callbacks accepted).
  ComModule() noexcept;
  ~ComModule();
  ComModule(const ComModule&) = delete;
  ComModule& operator=(const ComModule&) = delete;

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

  // Runs the shut-down callbacks and drops the lock. Runs once; later calls
  // (and the destructor) do nothing.
  void Terminate() noexcept;

 private:
  struct CallbackNode {
    ShutdownCallback callback;
    void* argument;
    CallbackNode* next;
  };

  volatile LONG lock_count_ = 0;
  CallbackNode* callbacks_ = nullptr;
  CRITICAL_SECTION static_data_lock_;
  bool initialized_ = false;
};

// The module object of this process image: the first ComModule constructed
// in it. Every image that uses module locks or cached shared data defines
// exactly one module object at namespace scope.
ComModule& ThisModule() noexcept;
