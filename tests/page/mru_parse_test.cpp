// ParseMRUEntry on the texts the host may send.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "page/mru_text.h"

namespace {

using Entry = std::array<std::wstring, 5>;

// Runs the reading loop as the list model does, checks every step against
// the guaranteed progress and the spans against the text, and returns the
// entries read.
std::vector<Entry> ReadAll(const std::wstring& text) {
  std::vector<Entry> entries;
  ptrdiff_t start = 0;
  for (;;) {
    FieldSpan spans[5];
    const ptrdiff_t next = ParseMRUEntry(text, start, spans);
    if (next < 0) break;
    EXPECT_GE(next, start + 6);
    Entry entry;
    for (int f = 0; f < 5; ++f) {
      EXPECT_LE(spans[f].offset + spans[f].length, text.size()) << "field " << f;
      entry[f] = text.substr(spans[f].offset, spans[f].length);
    }
    entries.push_back(entry);
    start = next;
  }
  return entries;
}

// A literal with embedded NULs, all its units but the terminating one.
template <size_t N>
std::wstring Units(const wchar_t (&literal)[N]) {
  return std::wstring(literal, N - 1);
}

TEST(ParseMRUEntry, TextsWithoutACompleteEntryYieldNothing) {
  EXPECT_TRUE(ReadAll(L"").empty());
  EXPECT_TRUE(ReadAll(L"abc").empty());
  EXPECT_TRUE(ReadAll(L"a\nb\nc\nd\ne").empty());  // fifth line feed missing
  EXPECT_TRUE(ReadAll(L"\n\n\n\n").empty());
}

TEST(ParseMRUEntry, EntriesSeparatedByAnEmptyLine) {
  std::wstring text = L"a\nb\nc\nd\ne\n\nf\ng\nh\ni\n\n\n";
  FieldSpan spans[5];
  EXPECT_EQ(11, ParseMRUEntry(text, 0, spans));
  // The last line feed is the second entry's skipped unit.
  EXPECT_EQ(static_cast<ptrdiff_t>(text.size()), ParseMRUEntry(text, 11, spans));
  EXPECT_EQ(-1, ParseMRUEntry(text, static_cast<ptrdiff_t>(text.size()), spans));
  std::vector<Entry> expected = {{L"a", L"b", L"c", L"d", L"e"}, {L"f", L"g", L"h", L"i", L""}};
  EXPECT_EQ(expected, ReadAll(text));
}

TEST(ParseMRUEntry, LastEntryMayLackItsFinalUnit) {
  std::wstring text = L"a\nb\nc\nd\ne\n";
  FieldSpan spans[5];
  EXPECT_EQ(11, ParseMRUEntry(text, 0, spans));
  std::vector<Entry> expected = {{L"a", L"b", L"c", L"d", L"e"}};
  EXPECT_EQ(expected, ReadAll(text));
}

TEST(ParseMRUEntry, PartialEntryAtTheEndIsDropped) {
  std::vector<Entry> expected = {{L"a", L"b", L"c", L"d", L"e"}};
  EXPECT_EQ(expected, ReadAll(L"a\nb\nc\nd\ne\n\nf\ng\n"));
  EXPECT_EQ(expected, ReadAll(L"a\nb\nc\nd\ne\n\nf\ng\nh\ni\nj"));
}

TEST(ParseMRUEntry, UnitAfterTheFifthLineFeedIsSkippedUnseen) {
  std::vector<Entry> expected = {{L"a", L"b", L"c", L"d", L"e"}, {L"g", L"h", L"i", L"j", L"k"}};
  EXPECT_EQ(expected, ReadAll(L"a\nb\nc\nd\ne\nfg\nh\ni\nj\nk\n"));
  // When entries touch, the second loses its first unit.
  std::vector<Entry> touching = {{L"a", L"b", L"c", L"d", L"e"}, {L"bc", L"d", L"e", L"f", L"g"}};
  EXPECT_EQ(touching, ReadAll(L"a\nb\nc\nd\ne\nabc\nd\ne\nf\ng\n"));
}

TEST(ParseMRUEntry, SixLineFeedsMakeOneEmptyEntry) {
  std::vector<Entry> expected = {{L"", L"", L"", L"", L""}};
  EXPECT_EQ(expected, ReadAll(L"\n\n\n\n\n\n"));
  // Twelve give two; the sixth and twelfth are the skipped units.
  EXPECT_EQ(2u, ReadAll(std::wstring(12, L'\n')).size());
  // Eleven still do (the last skipped unit may be missing); ten do not.
  EXPECT_EQ(2u, ReadAll(std::wstring(11, L'\n')).size());
  EXPECT_EQ(1u, ReadAll(std::wstring(10, L'\n')).size());
}

TEST(ParseMRUEntry, CarriageReturnsAreOrdinaryUnits) {
  std::wstring text =
      L"a\r\nb\r\nc\r\nd\r\ne\r\n\r\nf\r\ng\r\nh\r\ni\r\nj\r\n\r\n";
  std::vector<Entry> expected = {{L"a\r", L"b\r", L"c\r", L"d\r", L"e\r"},
                                 {L"", L"f\r", L"g\r", L"h\r", L"i\r"}};
  EXPECT_EQ(expected, ReadAll(text));
}

TEST(ParseMRUEntry, NulSurrogatesAndOtherScriptsStayInTheirFields) {
  // A line feed is one unit wherever it stands, even after a lone surrogate;
  // the unit skipped after an entry is one unit, whatever it is.
  std::wstring text = Units(L"x\0y\n\xD800\n\x043A\x043B\n\0\n\xDC00\n\x30C7z");
  std::vector<Entry> expected = {
      {Units(L"x\0y"), L"\xD800", L"\x043A\x043B", Units(L"\0"), L"\xDC00"}};
  EXPECT_EQ(expected, ReadAll(text));
}

TEST(ParseMRUEntry, StartPositions) {
  std::wstring text = L"a\nb\nc\nd\ne\n\nf\ng\nh\ni\nj\n";
  FieldSpan spans[5];
  // Negative starts read from the beginning.
  for (ptrdiff_t start : {ptrdiff_t{-5}, ptrdiff_t{-1}, PTRDIFF_MIN}) {
    EXPECT_EQ(11, ParseMRUEntry(text, start, spans)) << start;
    EXPECT_EQ(0u, spans[0].offset);
    EXPECT_EQ(1u, spans[0].length);
  }
  // At or past the end there is nothing to read.
  ptrdiff_t size = static_cast<ptrdiff_t>(text.size());
  for (ptrdiff_t start : {size, size + 1, PTRDIFF_MAX})
    EXPECT_EQ(-1, ParseMRUEntry(text, start, spans)) << start;
  // A start inside an entry reads from there.
  EXPECT_EQ(12, ParseMRUEntry(text, 2, spans));
  EXPECT_EQ(2u, spans[0].offset);
  EXPECT_EQ(10u, spans[4].offset);
  EXPECT_EQ(0u, spans[4].length);
}

}  // namespace
