#include "page/string_resource.h"

std::wstring LoadResourceString(HMODULE module, UINT id) {
  // A string table block holds sixteen counted UTF-16 strings.
  HRSRC found = FindResourceExW(module, reinterpret_cast<LPCWSTR>(RT_STRING),
                                MAKEINTRESOURCEW(id / 16 + 1),
                                MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
  if (!found) return std::wstring();
  HGLOBAL loaded = LoadResource(module, found);
  const auto* data = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
  if (!data) return std::wstring();
  const DWORD size = SizeofResource(module, found) / sizeof(WCHAR);
  const WCHAR* const end = data + size;
  for (UINT entry = 0; entry < id % 16; ++entry) {
    if (data >= end) return std::wstring();
    data += 1 + *data;
  }
  if (data >= end || *data == 0 || data + 1 + *data > end) return std::wstring();
  return std::wstring(data + 1, *data);
}
