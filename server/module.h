#pragma once
// CPellwickModule: the one process-wide module object of the component. It is
// the framework's module object (lock count, shut-down callbacks, static-data
// lock) plus what registration needs of the server.
#include <windows.h>

#include <vector>

#include "framework/com_module.h"
#include "framework/registry_script_parser.h"  // ScriptVariable

class CPellwickModule : public ComModule {
 public:
  // Adds the variables every registration script may use ("APPID").
  void AddCommonReplacements(std::vector<ScriptVariable>& variables) const;
};

// The module object of this process (the DLL's, or a test program's own).
CPellwickModule& PellwickModule() noexcept;

extern const wchar_t kPellwickAppId[];  // "{4CA564D7-4F81-4C2C-9429-6609A57D26A5}"
