#include "record_types_text.h"

RecordTypeNames SplitRecordTypes(std::string_view text) {
  RecordTypeNames result;
  size_t position = 0;
  while (position < text.size()) {
    size_t end = text.find('\n', position);
    if (end == std::string_view::npos) end = text.size();
    result.names.emplace_back(text.substr(position, end - position));
    if (end - position > result.longest) result.longest = end - position;
    position = end + 1;
  }
  return result;
}
