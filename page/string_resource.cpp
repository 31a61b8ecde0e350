#include "page/string_resource.h"

std::string LoadNarrowString(HMODULE module, UINT id) {
  // A string table block holds sixteen counted UTF-16 strings.
  HRSRC found = FindResourceExW(module, reinterpret_cast<LPCWSTR>(RT_STRING),
                                MAKEINTRESOURCEW(id / 16 + 1),
                                MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
  if (!found) return std::string();
  HGLOBAL loaded = LoadResource(module, found);
  const auto* data = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
  if (!data) return std::string();
  const DWORD size = SizeofResource(module, found) / sizeof(WCHAR);
  const WCHAR* const end = data + size;
  for (UINT entry = 0; entry < id % 16; ++entry) {
    if (data >= end) return std::string();
    data += 1 + *data;
  }
  if (data >= end || *data == 0 || data + 1 + *data > end) return std::string();
  const int length = *data;
  const int bytes = WideCharToMultiByte(CP_THREAD_ACP, 0, data + 1, length, nullptr, 0, nullptr,
                                        nullptr);
  if (bytes <= 0) return std::string();
  std::string text(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_THREAD_ACP, 0, data + 1, length, &text[0], bytes, nullptr, nullptr);
  return text;
}
