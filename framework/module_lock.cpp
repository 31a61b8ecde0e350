#include "framework/module_lock.h"

#include "framework/com_module.h"

LONG LockModule() noexcept { return ThisModule().Lock(); }
LONG UnlockModule() noexcept { return ThisModule().Unlock(); }
