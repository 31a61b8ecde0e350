#pragma once
// A loaded Pellwick.dll (the built one, or a copy) and its exports, for tests
// that go through the DLL as COM and regsvr32 do; plus scratch folders.
// Paths are UTF-8.
#include <windows.h>
#include <unknwn.h>

#include <string>

#include "framework/handles.h"

struct PellwickDll {
  using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  using NoArgumentFn = HRESULT(STDAPICALLTYPE*)();

  // Loads `path` (through LoadLibraryW, so \\?\ paths work) and resolves
  // the exports; `loaded()` tells whether all of it worked.
  explicit PellwickDll(const std::string& path);
  bool loaded() const {
    return module && get_class_object && can_unload_now && register_server && unregister_server;
  }

  ModuleHandle module;
  GetClassObjectFn get_class_object = nullptr;
  NoArgumentFn can_unload_now = nullptr;
  NoArgumentFn register_server = nullptr;
  NoArgumentFn unregister_server = nullptr;
};

// A fresh, empty folder under the temporary folder (name ends in a
// backslash); removed with everything in it when the object goes.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Copies the built DLL to `folder` + "Pellwick.dll" (creating the folders on
// the way); returns the new path, or an empty string on failure.
std::string CopyPellwickDll(const std::string& folder);
