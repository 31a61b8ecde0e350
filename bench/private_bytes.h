#pragma once
// The process's private bytes. Windows counts its commit charge in
// PagefileUsage. Wine 8 counts there the anonymous memory the process has
// touched and not given back (committed but untouched pages are left out),
// leaves PrivateUsage at 0, and reports PeakPagefileUsage equal to
// PagefileUsage, so a peak has to be sampled.
#include <windows.h>
#include <psapi.h>

#include <cstddef>

inline size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  return GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)
             ? counters.PagefileUsage
             : 0;
}
