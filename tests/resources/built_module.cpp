#include "built_module.h"

#include <fstream>
#include <iterator>

#include "common/test_paths.h"

std::string SatellitePath() { return ProgramDir() + "resdll\\Pellwick_de.rsc"; }

std::string TestDataPath(const char* name) { return ProgramDir() + "testdata\\" + name; }

ModuleHandle LoadResourcesOnly(const std::string& path) {
  return ModuleHandle(LoadLibraryExA(
      path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

bool ResourceBytes(HMODULE module, LPCWSTR type, WORD id, WORD language, std::string& bytes) {
  HRSRC found = FindResourceExW(module, type, MAKEINTRESOURCEW(id), language);
  if (!found) return false;
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return false;
  bytes.assign(static_cast<const char*>(data), SizeofResource(module, found));
  return true;
}

bool FileBytes(const std::string& path, std::string& bytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return true;
}
