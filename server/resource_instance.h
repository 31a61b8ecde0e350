#pragma once
// The module that the page dialog and every string are loaded from: a
// satellite when one was found for the user's language, otherwise the module
// that holds this code. The search runs once per process, on the first call,
// never inside DllMain; a satellite found stays loaded for the process's life.
#include <windows.h>

HINSTANCE ResourceInstance() noexcept;

// The module that holds this code (the DLL, or a test program linking it in).
HMODULE OwnModule() noexcept;

// Runs a satellite search at most once, however many threads ask at once:
// the first caller searches, the others wait for its answer. The satellite
// it finds is never freed.
class OnceSatellite {
 public:
  using Search = HMODULE (*)() noexcept;  // the satellite, or null for none
  explicit constexpr OnceSatellite(Search search) noexcept : search_(search) {}
  OnceSatellite(const OnceSatellite&) = delete;
  OnceSatellite& operator=(const OnceSatellite&) = delete;

  // The satellite found by the one search, or null when there is none.
  HMODULE Get() noexcept;

 private:
  static BOOL CALLBACK RunSearch(PINIT_ONCE once, PVOID self, PVOID* context) noexcept;

  INIT_ONCE once_ = INIT_ONCE_STATIC_INIT;
  Search search_;
  HMODULE satellite_ = nullptr;
};
