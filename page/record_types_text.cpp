#include "record_types_text.h"

std::vector<std::wstring> SplitRecordTypes(std::wstring_view text) {
  std::vector<std::wstring> names;
  size_t position = 0;
  while (position < text.size()) {
    size_t end = text.find(L'\n', position);
    if (end == std::wstring_view::npos) end = text.size();
    names.emplace_back(text.substr(position, end - position));
    position = end + 1;
  }
  return names;
}
