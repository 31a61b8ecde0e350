#include "server/pellwick_dll.h"

#include "common/test_paths.h"

namespace {

// Wide calls, so that \\?\ paths beyond MAX_PATH and names in any script
// work too; the paths here are UTF-8.
std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         &wide[0], static_cast<int>(wide.size()));
  wide.resize(length > 0 ? length : 0);
  return wide;
}

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  FileFind find(FindFirstFileW((folder + L"*").c_str(), &found));
  if (find) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(folder + name + L"\\");
      else
        DeleteFileW((folder + name).c_str());
    } while (FindNextFileW(find.get(), &found));
  }
  find.reset();
  RemoveDirectoryW(folder.c_str());
}

bool CreateFolders(const std::wstring& folder) {
  // Each backslash after the drive ends one level.
  const std::size_t drive = folder.compare(0, 4, L"\\\\?\\") == 0 ? 7 : 3;
  for (std::size_t at = folder.find(L'\\', drive); at != std::wstring::npos;
       at = folder.find(L'\\', at + 1)) {
    const std::wstring level = folder.substr(0, at);
    if (!CreateDirectoryW(level.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
      return false;
  }
  return true;
}

}  // namespace

PellwickDll::PellwickDll(const std::string& path) {
  module.reset(LoadLibraryW(Wide(path).c_str()));
  if (!module) return;
  // Through void*: FARPROC and the real signatures are unrelated function types.
  get_class_object = reinterpret_cast<GetClassObjectFn>(
      reinterpret_cast<void*>(GetProcAddress(module.get(), "DllGetClassObject")));
  can_unload_now =
      reinterpret_cast<NoArgumentFn>(
      reinterpret_cast<void*>(GetProcAddress(module.get(), "DllCanUnloadNow")));
  register_server =
      reinterpret_cast<NoArgumentFn>(
      reinterpret_cast<void*>(GetProcAddress(module.get(), "DllRegisterServer")));
  unregister_server =
      reinterpret_cast<NoArgumentFn>(
      reinterpret_cast<void*>(GetProcAddress(module.get(), "DllUnregisterServer")));
}

ScratchFolder::ScratchFolder(const std::string& name) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  path_ = std::string(temp) + "pellwick-srv-" + std::to_string(GetCurrentProcessId()) + "-" +
          name + "\\";
  RemoveTree(Wide(path_));
  CreateFolders(Wide(path_));
}

ScratchFolder::~ScratchFolder() { RemoveTree(Wide(path_)); }

std::string CopyPellwickDll(const std::string& folder) {
  if (!CreateFolders(Wide(folder))) return std::string();
  const std::string target = folder + "Pellwick.dll";
  if (!CopyFileW(Wide(PellwickDllPath()).c_str(), Wide(target).c_str(), FALSE))
    return std::string();
  return target;
}
