#include "temp_folder.h"

#include <windows.h>

#include "framework/handles.h"

TempFolder::TempFolder() {
  static LONG counter = 0;
  char temp[MAX_PATH] = {};
  const DWORD length = GetTempPathA(MAX_PATH, temp);
  if (length == 0 || length >= MAX_PATH) return;
  const std::string path = std::string(temp) + "pellwick-satellite-" +
                           std::to_string(GetCurrentProcessId()) + "-" +
                           std::to_string(InterlockedIncrement(&counter)) + "\\";
  if (CreateDirectoryA(path.c_str(), nullptr)) path_ = path;
}

TempFolder::~TempFolder() {
  if (path_.empty()) return;
  Clear();
  RemoveDirectoryA(path_.c_str());
}

void TempFolder::Clear() {
  undeletable_ = 0;
  if (!path_.empty()) ClearFolder(path_);
}

void TempFolder::ClearFolder(const std::string& folder) {
  WIN32_FIND_DATAA found = {};
  FileFind find(FindFirstFileA((folder + "*").c_str(), &found));
  if (!find) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = folder + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ClearFolder(path + "\\");
      if (!RemoveDirectoryA(path.c_str())) ++undeletable_;
    } else if (!DeleteFileA(path.c_str())) {
      ++undeletable_;
    }
  } while (FindNextFileA(find.get(), &found));
}

bool CopyInto(const std::string& from, const std::string& to) {
  return CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
