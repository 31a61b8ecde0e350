#include "server/module_lock.h"

namespace {
volatile LONG g_lock_count = 0;
}

LONG LockModule() noexcept { return InterlockedIncrement(&g_lock_count); }
LONG UnlockModule() noexcept { return InterlockedDecrement(&g_lock_count); }
LONG ModuleLockCount() noexcept { return InterlockedCompareExchange(&g_lock_count, 0, 0); }
