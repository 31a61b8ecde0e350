#include "framework/com_module.h"

#include <new>

namespace {

volatile LONG g_init_failed = 0;
ComModule* volatile g_this_module = nullptr;

}  // namespace

void MarkInitFailed() noexcept { InterlockedExchange(&g_init_failed, 1); }
bool InitFailed() noexcept { return InterlockedCompareExchange(&g_init_failed, 0, 0) != 0; }

ComModule& ThisModule() noexcept { return *g_this_module; }

ComModule::ComModule() noexcept {
  // The module object at namespace scope is constructed before any other;
  // modules made later (by tests) do not take its place.
  InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(&g_this_module), this,
                                    nullptr);
  if (!InitializeCriticalSectionAndSpinCount(&static_data_lock_, 0)) {
    MarkInitFailed();
    return;
  }
  initialized_ = true;
}

ComModule::~ComModule() {
  Terminate();
  InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(&g_this_module), nullptr,
                                    this);
}

LONG ComModule::Lock() noexcept { return InterlockedIncrement(&lock_count_); }
LONG ComModule::Unlock() noexcept { return InterlockedDecrement(&lock_count_); }
LONG ComModule::GetLockCount() const noexcept {
  return InterlockedCompareExchange(const_cast<volatile LONG*>(&lock_count_), 0, 0);
}

void ComModule::EnterStaticDataLock() noexcept { EnterCriticalSection(&static_data_lock_); }
void ComModule::LeaveStaticDataLock() noexcept { LeaveCriticalSection(&static_data_lock_); }

HRESULT ComModule::AddShutdownCallback(ShutdownCallback callback, void* argument) noexcept {
  if (!initialized_) return E_UNEXPECTED;
  auto* node = new (std::nothrow) CallbackNode{callback, argument, nullptr};
  if (!node) return E_OUTOFMEMORY;
  EnterStaticDataLock();
  node->next = callbacks_;
  callbacks_ = node;
  LeaveStaticDataLock();
  return S_OK;
}

void ComModule::Terminate() noexcept {
  if (!initialized_) return;
  initialized_ = false;
  // Callbacks may still take the lock, so it goes last.
  for (CallbackNode* node = callbacks_; node;) {
    CallbackNode* next = node->next;
    node->callback(node->argument);
    delete node;
    node = next;
  }
  callbacks_ = nullptr;
  DeleteCriticalSection(&static_data_lock_);
}
