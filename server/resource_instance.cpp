#include "resource_instance.h"

#include "satellite_loader.h"

namespace {

HRESULT FindOwnSatellite(HMODULE* satellite) noexcept {
  return FindLocalizedResourceModule(OwnModule(), FALSE, satellite);
}

// Constant-initialised, so it is ready before any constructor or DllMain runs.
OnceSatellite g_own_satellite(&FindOwnSatellite);

}  // namespace

HMODULE OnceSatellite::Get() noexcept {
  if (!InitOnceExecuteOnce(&once_, &OnceSatellite::RunSearch, this, nullptr)) return nullptr;
  return satellite_;
}

void OnceSatellite::Release() noexcept {
  if (satellite_) FreeLibrary(satellite_);
  satellite_ = nullptr;
  InitOnceInitialize(&once_);
}

BOOL CALLBACK OnceSatellite::RunSearch(PINIT_ONCE, PVOID self, PVOID*) noexcept {
  auto* once = static_cast<OnceSatellite*>(self);
  HMODULE found = nullptr;
  if (FAILED(once->search_(&found))) return FALSE;  // the next Get tries again
  once->satellite_ = found;
  return TRUE;
}

HMODULE OwnModule() noexcept {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&OwnModule), &module);
  return module;
}

void ReleaseResourceInstance() noexcept { g_own_satellite.Release(); }

HINSTANCE ResourceInstance() noexcept {
  HMODULE satellite = g_own_satellite.Get();
  return satellite ? satellite : OwnModule();
}
