// Thread start-up cost with Pellwick.dll loaded (no satellite beside it, its
// satellite search already done) against the same without it, measured in
// many short alternating rounds of one run. The machine is shared, so a round
// can be slowed by others; the per-round ratios are printed as median, min, max.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_figures.h"
#include "framework/com_ptr.h"
#include "framework/handles.h"
#include "include/PellwickHost.h"

namespace {

// 10,000 threads on each side.
constexpr int kRounds = 100;
constexpr int kThreadsPerRound = 100;

DWORD WINAPI DoNothing(LPVOID) { return 0; }

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

// Creates and joins empty threads one after another; returns the seconds taken.
double StartAndJoinThreads(int count) {
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  for (int i = 0; i < count; ++i) {
    HANDLE thread = CreateThread(nullptr, 0, DoNothing, nullptr, 0, nullptr);
    if (!thread) return -1;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
  QueryPerformanceCounter(&end);
  return Seconds(start, end);
}

std::string ProgramDir() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, length);
  return dir.substr(0, dir.find_last_of('\\') + 1);
}

// Loads the copy and has it create its class object, which runs its one
// satellite search; null when either fails.
HMODULE LoadAndUse(const std::string& path) {
  ModuleHandle dll(LoadLibraryA(path.c_str()));
  if (!dll) return nullptr;
  using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
  auto get_class_object = reinterpret_cast<GetClassObject>(
      reinterpret_cast<void*>(GetProcAddress(dll.get(), "DllGetClassObject")));
  if (!get_class_object) return nullptr;
  ComPtr<IClassFactory> factory;
  if (FAILED(get_class_object(CLSID_ActivityCtrl, IID_IClassFactory, factory.out_void())))
    return nullptr;
  return dll.release();
}

}  // namespace

int main() {
  // A copy in a folder of its own, so that no satellite can be found for it.
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder =
      std::string(temp) + "pellwick-bench-threads-" + std::to_string(GetCurrentProcessId());
  const std::string copy = folder + "\\Pellwick.dll";
  if (!CreateDirectoryA(folder.c_str(), nullptr) ||
      !CopyFileA((ProgramDir() + "Pellwick.dll").c_str(), copy.c_str(), FALSE)) {
    std::fprintf(stderr, "cannot copy Pellwick.dll to %s\n", folder.c_str());
    return 1;
  }

  StartAndJoinThreads(100);  // warm-up
  std::vector<double> ratios;
  bool failed = false;
  for (int round = 0; round < kRounds && !failed; ++round) {
    // Alternate which side goes first, so drift falls on both alike.
    const bool loaded_first = round % 2 == 1;
    double without = 0, with = 0;
    for (int side = 0; side < 2 && !failed; ++side) {
      if ((side == 0) == loaded_first) {
        ModuleHandle dll(LoadAndUse(copy));
        with = StartAndJoinThreads(kThreadsPerRound);
        failed = !dll || with <= 0;
      } else {
        without = StartAndJoinThreads(kThreadsPerRound);
        failed = without <= 0;
      }
    }
    if (!failed) ratios.push_back(with / without);
  }

  DeleteFileA(copy.c_str());
  RemoveDirectoryA(folder.c_str());
  if (failed) {
    std::fprintf(stderr, "measurement failed\n");
    return 1;
  }
  PrintFigure("threads_with_dll_ratio", ratios);
  return 0;
}
