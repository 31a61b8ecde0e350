// The recently-viewed reading loop against the model in mru_reference.h: the
// entry reader from every start and both entry lists the page keeps. Any
// difference aborts, which libFuzzer reports as a finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "mru_reference.h"
#include "page/mru_text.h"

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "mismatch: %s\n", what);
  std::abort();
}

// The loop MruEntries::Load runs, copying every field out of its span.
std::vector<MruEntry> SpanLoop(std::string_view text) {
  std::vector<MruEntry> entries;
  FieldSpan spans[5];
  ptrdiff_t start = 0;
  ptrdiff_t next = ParseMRUEntry(text, start, spans);
  while (next >= 0) {
    Check(next >= start + 6, "progress");
    MruEntry entry;
    for (std::size_t field = 0; field < 5; ++field) {
      Check(spans[field].offset + spans[field].length <= text.size(), "span inside the text");
      entry[field] = std::string(text.substr(spans[field].offset, spans[field].length));
    }
    entries.push_back(entry);
    start = next;
    next = ParseMRUEntry(text, start, spans);
  }
  return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::vector<MruEntry> expected = ReferenceMruEntries(text);

  Check(SpanLoop(text) == expected, "span loop");

  RecordEntries records;
  records.Load(text);
  Check(records.size() == expected.size(), "record count");
  QueryEntries queries;
  queries.Load(text);
  Check(queries.size() == expected.size(), "query count");
  for (std::size_t i = 0; i < expected.size(); ++i) {
    for (std::size_t field = 0; field < 5; ++field)
      Check(records.Field(i, field) == expected[i][field], "record field");
    for (std::size_t field = 0; field < 2; ++field)
      Check(queries.Field(i, field) == expected[i][field], "query field");
  }
  std::array<std::string, 5> past_end;
  Check(!records.Lookup(expected.size(), past_end), "lookup past the end");

  // Any start, negative ones included, against the model run on the rest of
  // the text: the entry found there is the model's first one.
  if (size >= 1) {
    const ptrdiff_t start = static_cast<std::int8_t>(data[0]);
    const std::size_t from = start > 0 ? static_cast<std::size_t>(start) : 0;
    FieldSpan spans[5];
    const ptrdiff_t next = ParseMRUEntry(text, start, spans);
    const std::vector<MruEntry> tail =
        from < text.size() ? ReferenceMruEntries(std::string_view(text).substr(from))
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
