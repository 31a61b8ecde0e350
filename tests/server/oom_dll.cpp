// A test build of Pellwick.dll whose operator new (tests/common/failing_allocator)
// and BSTR allocations fail on demand, so a test can fail the control's k-th
// allocation while its own fakes allocate freely in the test program.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>

#include "common/failing_allocator.h"
#include "framework/text.h"

namespace {
FailingAllocations* g_failing = nullptr;
alignas(FailingAllocations) unsigned char g_storage[sizeof(FailingAllocations)];
BstrAllocator g_previous = nullptr;

// A BSTR counts as one allocation of the same sequence.
BSTR WINAPI CountedBstr(const OLECHAR* characters, UINT length) {
  try {
    ::operator delete(::operator new(1));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return SysAllocStringLen(characters, length);
}
}  // namespace

// Every allocation after `successes` more successful ones fails until
// StopFailingAllocations.
extern "C" void FailAllocationsFrom(long successes) {
  if (g_failing) return;
  g_failing = new (g_storage) FailingAllocations(successes);
  g_previous = SetBstrAllocator(&CountedBstr);
}

// Allocation works again; returns how many allocations were refused.
extern "C" long StopFailingAllocations() {
  if (!g_failing) return 0;
  const long refused = g_failing->refused();
  g_failing->~FailingAllocations();
  g_failing = nullptr;
  SetBstrAllocator(g_previous);
  return refused;
}

namespace {
// A terminate is what the tests look for: name where it came from, as offsets
// into this DLL (x86_64-w64-mingw32-nm -C gives the functions), then abort.
[[noreturn]] void PrintStackAndAbort() {
  void* frames[48];
  const USHORT count = CaptureStackBackTrace(0, 48, frames, nullptr);
  HMODULE self = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(&PrintStackAndAbort), &self);
  for (USHORT i = 0; i < count; ++i)
    std::fprintf(stderr, "terminate: frame at +%llx\n",
                 static_cast<unsigned long long>(static_cast<char*>(frames[i]) -
                                                 reinterpret_cast<char*>(self)));
  std::fflush(stderr);
  std::abort();
}
const std::terminate_handler g_previous_terminate = std::set_terminate(&PrintStackAndAbort);
}  // namespace
