#include "registry_script.h"

#include <new>
#include <string>

#include "framework/error_boundary.h"
#include "framework/handles.h"

namespace {

HRESULT HresultFromScriptError(ScriptError error) {
  switch (error) {
    case ScriptError::kNone: return S_OK;
    case ScriptError::kVariableNameTooLong: return E_FAIL;
    case ScriptError::kOutOfMemory: return E_OUTOFMEMORY;
    default: return DISP_E_EXCEPTION;
  }
}

HKEY RootHandle(ScriptRootKey key) {
  switch (key) {
    case ScriptRootKey::kCurrentUser: return HKEY_CURRENT_USER;
    case ScriptRootKey::kLocalMachine: return HKEY_LOCAL_MACHINE;
    case ScriptRootKey::kUsers: return HKEY_USERS;
    default: return HKEY_CLASSES_ROOT;
  }
}

HRESULT SetString(HKEY key, const wchar_t* name, const std::wstring& data) {
  if (data.size() >= MAXDWORD / sizeof(wchar_t)) return E_INVALIDARG;
  const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
  const LONG error = RegSetValueExW(key, name, 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(data.c_str()), bytes);
  return HRESULT_FROM_WIN32(error);
}

// Deletes `name` under `parent` with everything beneath it; a missing key is no error.
HRESULT DeleteTree(HKEY parent, const std::wstring& name) {
  RegKey key;
  LONG error = RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ, key.out());
  if (error == ERROR_FILE_NOT_FOUND) return S_OK;
  if (error != ERROR_SUCCESS) return HRESULT_FROM_WIN32(error);
  // Longest key name the registry allows is 255 characters.
  wchar_t child[256];
  for (;;) {
    DWORD length = ARRAYSIZE(child);
    error = RegEnumKeyExW(key.get(), 0, child, &length, nullptr, nullptr, nullptr, nullptr);
    if (error == ERROR_NO_MORE_ITEMS) break;
    if (error != ERROR_SUCCESS) return HRESULT_FROM_WIN32(error);
    // Each round removes index 0, so a child that cannot go must end the loop.
    if (HRESULT hr = DeleteTree(key.get(), std::wstring(child, length)); FAILED(hr)) return hr;
  }
  key.reset();
  error = RegDeleteKeyW(parent, name.c_str());
  return error == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(error);
}

HRESULT RegisterEntries(HKEY parent, const std::vector<ScriptEntry>& entries) {
  for (const ScriptEntry& entry : entries) {
    if (entry.isValue) {
      if (HRESULT hr = SetString(parent, entry.name.c_str(), entry.data); FAILED(hr)) return hr;
      continue;
    }
    if (entry.flag == ScriptKeyFlag::kForceRemove) {
      if (HRESULT hr = DeleteTree(parent, entry.name); FAILED(hr)) return hr;
    }
    RegKey key;
    const LONG error = RegCreateKeyExW(parent, entry.name.c_str(), 0, nullptr, 0,
                                       KEY_READ | KEY_WRITE, nullptr, key.out(), nullptr);
    if (error != ERROR_SUCCESS) return HRESULT_FROM_WIN32(error);
    if (entry.hasData) {
      if (HRESULT hr = SetString(key.get(), nullptr, entry.data); FAILED(hr)) return hr;
    }
    if (HRESULT hr = RegisterEntries(key.get(), entry.contents); FAILED(hr)) return hr;
  }
  return S_OK;
}

// Goes on past a failure so that as much as possible is removed; returns the
// first failure.
HRESULT UnregisterEntries(HKEY parent, const std::vector<ScriptEntry>& entries) {
  HRESULT first = S_OK;
  auto note = [&first](HRESULT hr) {
    if (SUCCEEDED(first)) first = hr;
  };
  for (const ScriptEntry& entry : entries) {
    if (entry.isValue) {
      const LONG error = RegDeleteValueW(parent, entry.name.c_str());
      if (error != ERROR_FILE_NOT_FOUND) note(HRESULT_FROM_WIN32(error));
      continue;
    }
    RegKey key;
    LONG error = RegOpenKeyExW(parent, entry.name.c_str(), 0, KEY_READ | KEY_WRITE, key.out());
    if (error == ERROR_FILE_NOT_FOUND) continue;
    if (error != ERROR_SUCCESS) {
      note(HRESULT_FROM_WIN32(error));
      continue;
    }
    note(UnregisterEntries(key.get(), entry.contents));
    if (entry.flag == ScriptKeyFlag::kNoRemove) continue;
    DWORD subkeys = 0;
    error = RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr, nullptr);
    key.reset();
    if (error != ERROR_SUCCESS) {
      note(HRESULT_FROM_WIN32(error));
      continue;
    }
    // Subkeys of others keep the key; its own values and values of others go with it.
    if (subkeys != 0) continue;
    error = RegDeleteKeyW(parent, entry.name.c_str());
    if (error != ERROR_FILE_NOT_FOUND) note(HRESULT_FROM_WIN32(error));
  }
  return first;
}

// Keys each registry view has a copy of; the rest of HKEY_CLASSES_ROOT is one for both.
bool IsKeyOfOneView(const std::wstring& name) {
  for (const wchar_t* redirected : {L"CLSID", L"Interface"}) {
    if (CompareStringOrdinal(name.c_str(), -1, redirected, -1, TRUE) == CSTR_EQUAL) return true;
  }
  return false;
}

HRESULT Unregister(const ScriptRoot& root, bool keep_shared_keys) {
  if (!keep_shared_keys || root.key != ScriptRootKey::kClassesRoot)
    return UnregisterEntries(RootHandle(root.key), root.entries);
  std::vector<ScriptEntry> own_view;
  for (const ScriptEntry& entry : root.entries) {
    if (!entry.isValue && IsKeyOfOneView(entry.name)) own_view.push_back(entry);
  }
  return UnregisterEntries(HKEY_CLASSES_ROOT, own_view);
}

HRESULT Apply(const std::vector<ScriptRoot>& roots, bool register_mode, bool keep_shared_keys) {
  if (!register_mode) {
    HRESULT first = S_OK;
    for (const ScriptRoot& root : roots) {
      const HRESULT hr = Unregister(root, keep_shared_keys);
      if (SUCCEEDED(first)) first = hr;
    }
    return first;
  }
  for (std::size_t i = 0; i < roots.size(); ++i) {
    const HRESULT hr = RegisterEntries(RootHandle(roots[i].key), roots[i].entries);
    if (SUCCEEDED(hr)) continue;
    // Undo this run: the failing root block and every one applied before it.
    for (std::size_t undo = i + 1; undo-- > 0;)
      UnregisterEntries(RootHandle(roots[undo].key), roots[undo].entries);
    return hr;
  }
  return S_OK;
}

}  // namespace

HRESULT RunRegistryScript(std::wstring_view script, const std::vector<ScriptVariable>& variables,
                          bool register_mode, bool keep_shared_keys) noexcept {
  std::wstring text;
  if (ScriptError e = ReplaceScriptVariables(script, variables, text); e != ScriptError::kNone)
    return HresultFromScriptError(e);
  std::vector<ScriptRoot> roots;
  if (ScriptError e = ParseRegistryScript(text, roots); e != ScriptError::kNone)
    return HresultFromScriptError(e);
  return CatchReturn([&] { return Apply(roots, register_mode, keep_shared_keys); });
}
