// The record-types split against a plain model: cut at every line feed, drop
// the empty piece after a final line feed, nothing at all for an empty text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "page/record_types_text.h"

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "mismatch: %s\n", what);
  std::abort();
}

std::vector<std::string> ReferenceSplit(const std::string& text) {
  std::vector<std::string> pieces(1);
  for (char byte : text) {
    if (byte == '\n')
      pieces.emplace_back();
    else
      pieces.back().push_back(byte);
  }
  if (text.empty() || text.back() == '\n') pieces.pop_back();
  return pieces;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> expected = ReferenceSplit(text);
  const RecordTypeNames split = SplitRecordTypes(text);
  Check(split.names == expected, "names");
  std::size_t longest = 0;
  for (const std::string& name : expected) longest = name.size() > longest ? name.size() : longest;
  Check(split.longest == longest, "longest");
  return 0;
}
