#include "satellite_loader.h"

#include <cstdlib>
#include <new>

#include "framework/error_boundary.h"
#include "framework/handles.h"

namespace {

bool OutOfMemory(DWORD error) noexcept {
  return error == ERROR_NOT_ENOUGH_MEMORY || error == ERROR_OUTOFMEMORY;
}

// Names longer than capacity - 1 make the call fail and count as absent.
std::wstring LocaleName(WORD language, LCTYPE type, int capacity) {
  wchar_t buffer[9] = {};
  if (capacity > static_cast<int>(sizeof buffer / sizeof buffer[0]))
    capacity = sizeof buffer / sizeof buffer[0];
  if (GetLocaleInfoW(MAKELCID(language, SORT_DEFAULT), type, buffer, capacity) == 0) {
    // A name the platform could not make now is not a name it lacks.
    if (OutOfMemory(GetLastError())) throw std::bad_alloc();
    return std::wstring();
  }
  return buffer;
}

// Drive, directory and base name of the component's file, in UTF-16 so that
// any folder name serves; false when its path is not available.
bool ReadComponentPath(HMODULE component, SatelliteLookup& lookup) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(component, path, MAX_PATH);
  // A cut-off path would name some other folder or file.
  if (length == 0 || length >= MAX_PATH) return false;

  wchar_t drive[_MAX_DRIVE] = {};
  wchar_t directory[_MAX_DIR] = {};
  wchar_t name[_MAX_FNAME] = {};
  _wsplitpath(path, drive, directory, name, nullptr);

  // The loader may know the file by its short name; satellites follow the long one.
  WIN32_FIND_DATAW found = {};
  FileFind find(FindFirstFileW(path, &found));
  if (find) {
    find.reset();
    _wsplitpath(found.cFileName, nullptr, nullptr, name, nullptr);
  }
  lookup.drive = drive;
  lookup.directory = directory;
  lookup.base_name = name;
  return true;
}

}  // namespace

void ReadLanguageNames(SatelliteLookup& lookup) {
  const WORD language = lookup.ui_language;
  lookup.iso_language = LocaleName(language, LOCALE_SISO639LANGNAME, 9);
  lookup.iso_country = LocaleName(language, LOCALE_SISO3166CTRYNAME, 9);
  lookup.abbreviated_language = LocaleName(language, LOCALE_SABBREVLANGNAME, 4);
  lookup.abbreviated_primary =
      LocaleName(PrimaryLanguageOnly(language), LOCALE_SABBREVLANGNAME, 4);
}

HRESULT FindLocalizedResourceModule(HMODULE component, BOOL debug_suffix,
                                    HMODULE* satellite) noexcept {
  *satellite = nullptr;
  return CatchReturn([&] {
    SatelliteLookup lookup;
    lookup.ui_language = GetUserDefaultUILanguage();
    if (IsNeutralUiLanguage(lookup.ui_language)) return S_OK;
    if (!ReadComponentPath(component, lookup)) return S_OK;
    ReadLanguageNames(lookup);
    lookup.debug_suffix = debug_suffix != FALSE;

    for (const std::wstring& candidate : SatelliteCandidates(lookup)) {
      *satellite = LoadLibraryExW(candidate.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
      if (*satellite) return S_OK;
      // A satellite that could not be mapped now may well be there.
      if (OutOfMemory(GetLastError())) return E_OUTOFMEMORY;
    }
    return S_OK;
  });
}
