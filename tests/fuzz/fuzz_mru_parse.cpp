// The recently-viewed reading loop against the model in mru_reference.h, for
// ParseMRUEntry and both entry lists the page keeps, reading a host's text in
// parts. Any difference aborts, which libFuzzer reports as a finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "mru_reference.h"
#include "page/mru_text.h"
#include "tests/common/host_copy.h"

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "mismatch: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring text = UnitsFromBytes(data, size);

  // The host's own text, kept instead of copied, ends at its first NUL; the
  // parts' size comes from the input too, so entries fall across their ends.
  const std::vector<MruEntry> expected =
      ReferenceMruEntries(std::wstring_view(text).substr(0, text.find(L'\0')));
  const std::size_t part = size >= 2 ? data[1] * std::size_t{3} : 0;
  RecordEntries records;
  ReadHostCopy(records, text, part);
  Check(records.size() == expected.size(), "record count");
  QueryEntries queries;
  ReadHostCopy(queries, text);
  Check(queries.size() == expected.size(), "query count");
  for (std::size_t i = 0; i < expected.size(); ++i) {
    for (std::size_t field = 0; field < 5; ++field)
      Check(records.Field(i, field) == expected[i][field], "record field");
    for (std::size_t field = 0; field < 2; ++field)
      Check(queries.Field(i, field) == expected[i][field], "query field");
  }

  // Any start, negative ones included, against the model run on the rest of
  // the text: the entry found there is the model's first one.
  if (size >= 1) {
    const ptrdiff_t start = static_cast<std::int8_t>(data[0]);
    const std::size_t from = start > 0 ? static_cast<std::size_t>(start) : 0;
    FieldSpan spans[5];
    const ptrdiff_t next = ParseMRUEntry(text, start, spans);
    const std::vector<MruEntry> tail =
        from < text.size() ? ReferenceMruEntries(std::wstring_view(text).substr(from))
                           : std::vector<MruEntry>();
    Check((next >= 0) == !tail.empty(), "entry at start");
    if (next >= 0) {
      Check(next >= static_cast<ptrdiff_t>(from) + 6, "progress");
      for (std::size_t field = 0; field < 5; ++field)
        Check(text.compare(spans[field].offset, spans[field].length, tail[0][field]) == 0,
              "span field");
    }
  }
  return 0;
}
