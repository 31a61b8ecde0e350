#include "common/test_paths.h"

#include <windows.h>

std::string ProgramDir() {
  char path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string result(path, length);
  return result.substr(0, result.find_last_of('\\') + 1);
}

std::string PellwickDllPath() { return ProgramDir() + "Pellwick.dll"; }
