#include "server/registration.h"

#include <new>
#include <string>

#include "framework/error_boundary.h"
#include "framework/handles.h"
#include "framework/registry_script.h"
#include "include/PellwickHost.h"
#include "resources/resource_ids.h"
#include "server/class_table.h"
#include "server/module.h"
#include "server/module_path.h"
#include "server/registration_text.h"
#include "server/registry_views.h"
#include "server/resource_instance.h"
#include "server/typelib_registration.h"

namespace {

// The scripts' text is converted with the system's ANSI code page, whatever
// locale the calling thread had.
class SystemThreadLocale {
 public:
  SystemThreadLocale() noexcept : saved_(GetThreadLocale()) {
    SetThreadLocale(LOCALE_SYSTEM_DEFAULT);
  }
  ~SystemThreadLocale() { SetThreadLocale(saved_); }
  SystemThreadLocale(const SystemThreadLocale&) = delete;
  SystemThreadLocale& operator=(const SystemThreadLocale&) = delete;

 private:
  LCID saved_;
};

HRESULT LastErrorResult() noexcept {
  const DWORD error = GetLastError();
  return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

HRESULT ReadScript(const std::wstring& path, UINT script_id, std::wstring& script) noexcept {
  ModuleHandle file(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!file) return LastErrorResult();
  HRSRC found = FindResourceA(file.get(), MAKEINTRESOURCEA(script_id), "REGISTRY");
  if (!found) return LastErrorResult();
  HGLOBAL loaded = LoadResource(file.get(), found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return LastErrorResult();
  const DWORD size = SizeofResource(file.get(), found);
  return WideFromThreadAnsi(std::string_view(static_cast<const char*>(bytes), size), script);
}

}  // namespace

HRESULT RunComponentScript(UINT script_id, std::vector<ScriptVariable> variables,
                           bool register_mode, bool keep_shared_keys) noexcept {
  std::wstring path;
  HRESULT result = ModuleFileName(OwnModule(), path);
  if (FAILED(result)) return result;
  std::wstring script;
  result = CatchReturn([&] {
    PellwickModule().AddCommonReplacements(variables);
    const std::wstring quoted = DoubleSingleQuotes(path);
    variables.push_back({L"Module", quoted});
    variables.push_back({L"Module_Raw", quoted});
    return S_OK;
  });
  if (FAILED(result)) return result;
  result = ReadScript(path, script_id, script);
  if (FAILED(result)) return result;
  return RunRegistryScript(script, variables, register_mode, keep_shared_keys);
}

HRESULT UpdateActivityCtrlRegistration(bool register_mode) noexcept {
  std::vector<ScriptVariable> variables;
  const HRESULT made = CatchReturn([&] {
    variables.push_back({L"OLEMISC", std::to_wstring(kActivityCtrlMiscStatus)});
    return S_OK;
  });
  if (FAILED(made)) return made;
  return RunComponentScript(IDR_CLASS_SCRIPT, std::move(variables), register_mode,
                            !register_mode && OtherViewServes(CLSID_ActivityCtrl));
}

HRESULT RegisterServer(const ClassTable& classes) noexcept {
  SystemThreadLocale locale;
  HRESULT result = RunComponentScript(IDR_APPID_SCRIPT, {}, true);
  if (FAILED(result)) return result;
  result = classes.UpdateRegistry(true);
  if (FAILED(result)) return result;
  return RegisterComponentTypeLib(OwnModule());
}

HRESULT UnregisterServer(const ClassTable& classes) noexcept {
  SystemThreadLocale locale;
  HRESULT result = classes.UpdateRegistry(false);
  if (FAILED(result)) return result;
  result = UnregisterComponentTypeLib(OwnModule());
  if (FAILED(result)) return result;
  return RunComponentScript(IDR_APPID_SCRIPT, {}, false, classes.AnyClass(&OtherViewServes));
}
