#pragma once
// Open kernel handles of this process. GetProcessHandleCount answers 0 under
// Wine, so this counts the process's entries in the system handle table.
// Returns -1 when the table cannot be read.
long ProcessHandleCount();
