#include "server/registration_text.h"

std::wstring DoubleSingleQuotes(std::wstring_view path) {
  std::wstring result;
  result.reserve(path.size());
  for (wchar_t c : path) {
    result += c;
    if (c == L'\'') result += c;
  }
  return result;
}

std::wstring TypeLibraryFallbackPath(std::wstring_view path) {
  const std::size_t name = path.rfind(L'\\');
  const std::size_t dot = path.rfind(L'.');
  const bool has_extension = dot != std::wstring_view::npos &&
                             (name == std::wstring_view::npos || dot > name);
  std::wstring result(path.substr(0, has_extension ? dot : path.size()));
  result += L".tlb";
  return result;
}

std::wstring HelpDirectory(std::wstring_view help_file) {
  const std::size_t last = help_file.find_last_of(L"\\/:");
  if (last == std::wstring_view::npos) return std::wstring();
  return std::wstring(help_file.substr(0, last + 1));
}
