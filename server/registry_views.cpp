#include "server/registry_views.h"

#include <objbase.h>

#include <cwchar>

#include "framework/handles.h"

REGSAM OtherRegistryView() noexcept {
#ifdef _WIN64
  return KEY_WOW64_32KEY;
#else
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64 ? KEY_WOW64_64KEY : 0;
#endif
}

bool OtherViewServes(const CLSID& clsid) noexcept {
  const REGSAM view = OtherRegistryView();
  if (!view) return false;
  constexpr wchar_t kPrefix[] = L"CLSID\\";
  constexpr wchar_t kSuffix[] = L"\\InprocServer32";
  constexpr int kGuidUnits = 39;  // braces and NUL included
  wchar_t path[ARRAYSIZE(kPrefix) - 1 + kGuidUnits - 1 + ARRAYSIZE(kSuffix)] = {};
  wmemcpy(path, kPrefix, ARRAYSIZE(kPrefix) - 1);
  wchar_t* guid = path + ARRAYSIZE(kPrefix) - 1;
  if (StringFromGUID2(clsid, guid, kGuidUnits) != kGuidUnits) return false;
  wmemcpy(guid + kGuidUnits - 1, kSuffix, ARRAYSIZE(kSuffix));
  RegKey key;
  return RegOpenKeyExW(HKEY_CLASSES_ROOT, path, 0, KEY_READ | view, key.out()) == ERROR_SUCCESS;
}
