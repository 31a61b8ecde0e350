#pragma once
// The module that the page dialog and every string are loaded from: a
// satellite when one was found for the user's language, otherwise the module
// that holds this code. The search runs on the first call, never inside
// DllMain, and again on a later call when it could not complete for lack of
// memory; a satellite found stays loaded until the DLL is unloaded.
#include <windows.h>

HINSTANCE ResourceInstance() noexcept;

// Frees the satellite, for the DLL's unloading by FreeLibrary: mapped as a
// data file, it is not counted by the loader and would stay mapped (and its
// file locked) after every unload.
void ReleaseResourceInstance() noexcept;

// The module that holds this code (the DLL, or a test program linking it in).
HMODULE OwnModule() noexcept;

// Runs a satellite search until one completes, however many threads ask at
// once: the first caller searches, the others wait for its answer. A search
// that ran out of memory counts as not run.
class OnceSatellite {
 public:
  // S_OK with the satellite, or null for none; a failure leaves it to the next Get.
  using Search = HRESULT (*)(HMODULE* satellite) noexcept;
  explicit constexpr OnceSatellite(Search search) noexcept : search_(search) {}
  OnceSatellite(const OnceSatellite&) = delete;
  OnceSatellite& operator=(const OnceSatellite&) = delete;

  // The satellite found by the completed search, or null when there is none
  // or no search has completed yet.
  HMODULE Get() noexcept;
  // Frees the satellite found; the next Get searches again. Not while
  // another thread may call Get.
  void Release() noexcept;

 private:
  static BOOL CALLBACK RunSearch(PINIT_ONCE once, PVOID self, PVOID* context) noexcept;

  INIT_ONCE once_ = INIT_ONCE_STATIC_INIT;
  Search search_;
  HMODULE satellite_ = nullptr;
};
