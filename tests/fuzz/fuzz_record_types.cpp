// The record-types split against a plain model: cut at every line feed, drop
// the empty piece after a final line feed, nothing at all for an empty text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "mru_reference.h"
#include "page/record_types_text.h"

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "mismatch: %s\n", what);
  std::abort();
}

std::vector<std::wstring> ReferenceSplit(const std::wstring& text) {
  std::vector<std::wstring> pieces(1);
  for (wchar_t unit : text) {
    if (unit == L'\n')
      pieces.emplace_back();
    else
      pieces.back().push_back(unit);
  }
  if (text.empty() || text.back() == L'\n') pieces.pop_back();
  return pieces;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring text = UnitsFromBytes(data, size);
  Check(SplitRecordTypes(text) == ReferenceSplit(text), "names");
  return 0;
}
