#include "satellite_loader.h"

#include <cstdlib>
#include <new>

#include "framework/handles.h"

namespace {

// Names longer than capacity - 1 make the call fail and count as absent.
std::string LocaleName(WORD language, LCTYPE type, int capacity) {
  char buffer[9] = {};
  if (capacity > static_cast<int>(sizeof buffer)) capacity = sizeof buffer;
  if (GetLocaleInfoA(MAKELCID(language, SORT_DEFAULT), LOCALE_USE_CP_ACP | type, buffer,
                     capacity) == 0)
    return std::string();
  return buffer;
}

// Drive, directory and base name of the component's file; false when its
// path is not available.
bool ReadComponentPath(HMODULE component, SatelliteLookup& lookup) {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(component, path, MAX_PATH);
  // A cut-off path would name some other folder or file.
  if (length == 0 || length >= MAX_PATH) return false;

  char drive[_MAX_DRIVE] = {};
  char directory[_MAX_DIR] = {};
  char name[_MAX_FNAME] = {};
  _splitpath(path, drive, directory, name, nullptr);

  // The loader may know the file by its short name; satellites follow the long one.
  WIN32_FIND_DATAA found = {};
  FileFind find(FindFirstFileA(path, &found));
  if (find) {
    find.reset();
    _splitpath(found.cFileName, nullptr, nullptr, name, nullptr);
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

HMODULE LoadLocalizedResourceModule(HMODULE component, BOOL debugSuffix) noexcept {
  try {
    SatelliteLookup lookup;
    lookup.ui_language = GetUserDefaultUILanguage();
    if (IsNeutralUiLanguage(lookup.ui_language)) return nullptr;
    if (!ReadComponentPath(component, lookup)) return nullptr;
    ReadLanguageNames(lookup);
    lookup.debug_suffix = debugSuffix != FALSE;

    for (const std::string& candidate : SatelliteCandidates(lookup)) {
      HMODULE satellite = LoadLibraryExA(candidate.c_str(), nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
      if (satellite) return satellite;
    }
    return nullptr;
  } catch (const std::bad_alloc&) {
    return nullptr;  // out of memory: the component's own resources serve
  }
}
