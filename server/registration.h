#pragma once
// Writing and removing the component's registration under HKEY_CLASSES_ROOT:
// the AppID script, each served class's script and the type library, all
// taken from the file of the module that holds this code.
#include <windows.h>

#include <vector>

#include "framework/registry_script_parser.h"  // ScriptVariable

class ClassTable;

// The control's misc status, written into its registration in decimal.
constexpr DWORD kActivityCtrlMiscStatus = 0x00020191;

// Register: AppID script, then every class of `classes`, then the type
// library. Unregister: the classes, the type library, then the AppID script,
// whose keys shared by both registry views stay while the other word size's
// registration of any of the classes does.
// Each stops at the first failure and returns it. Both run with the thread
// locale set to LOCALE_SYSTEM_DEFAULT and always restore the caller's.
HRESULT RegisterServer(const ClassTable& classes) noexcept;
HRESULT UnregisterServer(const ClassTable& classes) noexcept;

// Runs the REGISTRY resource `script_id` of this module's file with
// `variables` plus "APPID", "Module" and "Module_Raw" (the file's path, single
// quotes doubled). A failed register run leaves nothing of its own behind.
// `keep_shared_keys` as in RunRegistryScript.
HRESULT RunComponentScript(UINT script_id, std::vector<ScriptVariable> variables,
                           bool register_mode, bool keep_shared_keys = false) noexcept;

// The ActivityCtrl class's registration routine (class script with "OLEMISC").
// Removing it leaves the ProgIDs while the other word size's registry view
// still registers the class.
HRESULT UpdateActivityCtrlRegistration(bool register_mode) noexcept;
