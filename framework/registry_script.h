#pragma once
// Applies a registration script (see registry_script_parser.h for the
// language) to the registry of the calling process.
#include <windows.h>

#include <string_view>
#include <vector>

#include "registry_script_parser.h"  // ScriptVariable

// Replaces the variables in `script` and applies it. Register mode: opens or creates keys
// (ForceRemove first deletes the key with everything under it) and sets their values; on any
// failure undoes what this run applied by running the failing root block, and every root block
// before it, in unregister mode, and returns the first error. Unregister mode: deletes listed
// `val` values (a missing one is no error); deletes every key not marked NoRemove after its
// listed contents, but only when no subkeys remain under it, so values that others added to
// such a key go with it; skips missing keys with their contents; goes on past a failure and
// returns the first one. With `keep_shared_keys` unregister mode leaves alone the HKEY_CLASSES_ROOT
// keys that the 32- and 64-bit registry views share (all but CLSID and Interface, with their
// contents), and the root's own values, for the other word size's registration to keep using.
// Errors: DISP_E_EXCEPTION for a '%' without its closing '%', an unknown variable, a syntax error
// or a key name containing '\'; E_FAIL for a variable name of 32 characters or more (no registry
// change in these cases); HRESULT_FROM_WIN32 of a registry error; E_OUTOFMEMORY.
HRESULT RunRegistryScript(std::wstring_view script, const std::vector<ScriptVariable>& variables,
                          bool register_mode, bool keep_shared_keys = false) noexcept;
