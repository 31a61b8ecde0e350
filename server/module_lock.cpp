#include "server/module_lock.h"

#include "server/module.h"

LONG LockModule() noexcept { return PellwickModule().Lock(); }
LONG UnlockModule() noexcept { return PellwickModule().Unlock(); }
LONG ModuleLockCount() noexcept { return PellwickModule().GetLockCount(); }
