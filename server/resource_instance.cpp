#include "resource_instance.h"

#include "satellite_loader.h"

namespace {

HMODULE FindOwnSatellite() noexcept { return LoadLocalizedResourceModule(OwnModule(), FALSE); }

// Constant-initialised, so it is ready before any constructor or DllMain runs.
OnceSatellite g_own_satellite(&FindOwnSatellite);

}  // namespace

HMODULE OnceSatellite::Get() noexcept {
  InitOnceExecuteOnce(&once_, &OnceSatellite::RunSearch, this, nullptr);
  return satellite_;
}

BOOL CALLBACK OnceSatellite::RunSearch(PINIT_ONCE, PVOID self, PVOID*) noexcept {
  auto* satellite = static_cast<OnceSatellite*>(self);
  satellite->satellite_ = satellite->search_();
  return TRUE;
}

HMODULE OwnModule() noexcept {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&OwnModule), &module);
  return module;
}

HINSTANCE ResourceInstance() noexcept {
  HMODULE satellite = g_own_satellite.Get();
  return satellite ? satellite : OwnModule();
}
