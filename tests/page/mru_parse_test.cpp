// ParseMRUEntry on the texts the host may send.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "page/mru_text.h"

namespace {

using Entry = std::array<std::string, 5>;

// Runs the reading loop MruEntries::Load runs, checks every step against the
// guaranteed progress and that the spans lie inside the text, and returns
// the entries read.
std::vector<Entry> ReadAll(const std::string& text) {
  std::vector<Entry> entries;
  ptrdiff_t start = 0;
  for (;;) {
    FieldSpan spans[5];
    ptrdiff_t next = ParseMRUEntry(text, start, spans);
    if (next < 0) break;
    EXPECT_GE(next, start + 6);
    Entry out;
    for (int f = 0; f < 5; ++f) {
      EXPECT_LE(spans[f].offset + spans[f].length, text.size()) << "field " << f;
      out[f] = text.substr(spans[f].offset, spans[f].length);
    }
    entries.push_back(out);
    start = next;
  }
  return entries;
}

// A literal with embedded NULs, all its bytes but the terminating one.
template <size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

TEST(ParseMRUEntry, TextsWithoutACompleteEntryYieldNothing) {
  EXPECT_TRUE(ReadAll("").empty());
  EXPECT_TRUE(ReadAll("abc").empty());
  EXPECT_TRUE(ReadAll("a\nb\nc\nd\ne").empty());  // fifth line feed missing
  EXPECT_TRUE(ReadAll("\n\n\n\n").empty());
}

TEST(ParseMRUEntry, EntriesSeparatedByAnEmptyLine) {
  std::string text = "a\nb\nc\nd\ne\n\nf\ng\nh\ni\n\n\n";
  FieldSpan spans[5];
  EXPECT_EQ(11, ParseMRUEntry(text, 0, spans));
  // The last line feed is the second entry's skipped byte.
  EXPECT_EQ(static_cast<ptrdiff_t>(text.size()), ParseMRUEntry(text, 11, spans));
  EXPECT_EQ(-1, ParseMRUEntry(text, static_cast<ptrdiff_t>(text.size()), spans));
  std::vector<Entry> expected = {{"a", "b", "c", "d", "e"}, {"f", "g", "h", "i", ""}};
  EXPECT_EQ(expected, ReadAll(text));
}

TEST(ParseMRUEntry, LastEntryMayLackItsFinalByte) {
  std::string text = "a\nb\nc\nd\ne\n";
  FieldSpan spans[5];
  EXPECT_EQ(11, ParseMRUEntry(text, 0, spans));
  std::vector<Entry> expected = {{"a", "b", "c", "d", "e"}};
  EXPECT_EQ(expected, ReadAll(text));
}

TEST(ParseMRUEntry, PartialEntryAtTheEndIsDropped) {
  std::vector<Entry> expected = {{"a", "b", "c", "d", "e"}};
  EXPECT_EQ(expected, ReadAll("a\nb\nc\nd\ne\n\nf\ng\n"));
  EXPECT_EQ(expected, ReadAll("a\nb\nc\nd\ne\n\nf\ng\nh\ni\nj"));
}

TEST(ParseMRUEntry, ByteAfterTheFifthLineFeedIsSkippedUnseen) {
  std::vector<Entry> expected = {{"a", "b", "c", "d", "e"}, {"g", "h", "i", "j", "k"}};
  EXPECT_EQ(expected, ReadAll("a\nb\nc\nd\ne\nfg\nh\ni\nj\nk\n"));
  // When entries touch, the second loses its first byte.
  std::vector<Entry> touching = {{"a", "b", "c", "d", "e"}, {"bc", "d", "e", "f", "g"}};
  EXPECT_EQ(touching, ReadAll("a\nb\nc\nd\ne\nabc\nd\ne\nf\ng\n"));
}

TEST(ParseMRUEntry, SixLineFeedsMakeOneEmptyEntry) {
  std::vector<Entry> expected = {{"", "", "", "", ""}};
  EXPECT_EQ(expected, ReadAll("\n\n\n\n\n\n"));
  // Twelve give two; the sixth and twelfth are the skipped bytes.
  EXPECT_EQ(2u, ReadAll(std::string(12, '\n')).size());
  // Eleven still do (the last skipped byte may be missing); ten do not.
  EXPECT_EQ(2u, ReadAll(std::string(11, '\n')).size());
  EXPECT_EQ(1u, ReadAll(std::string(10, '\n')).size());
}

TEST(ParseMRUEntry, CarriageReturnsAreOrdinaryBytes) {
  std::string text =
      "a\r\nb\r\nc\r\nd\r\ne\r\n\r\nf\r\ng\r\nh\r\ni\r\nj\r\n\r\n";
  std::vector<Entry> expected = {{"a\r", "b\r", "c\r", "d\r", "e\r"},
                                 {"", "f\r", "g\r", "h\r", "i\r"}};
  EXPECT_EQ(expected, ReadAll(text));
}

TEST(ParseMRUEntry, NulAndHighBytesStayInTheirFields) {
  // Lead bytes of double-byte code pages before a line feed do not hide it.
  std::string text = Bytes("x\0y\n\x81\n\xff\xfe\n\0\n\x82\n\0");
  std::vector<Entry> expected = {
      {Bytes("x\0y"), "\x81", "\xff\xfe", Bytes("\0"), "\x82"}};
  EXPECT_EQ(expected, ReadAll(text));
}

TEST(ParseMRUEntry, StartPositions) {
  std::string text = "a\nb\nc\nd\ne\n\nf\ng\nh\ni\nj\n";
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

TEST(ParseMRUEntry, NoEntryWhereNoLineFeedFollows) {
  FieldSpan spans[5];
  EXPECT_EQ(-1, ParseMRUEntry("no line feed", 0, spans));
  EXPECT_EQ(-1, ParseMRUEntry("", 0, spans));
  EXPECT_EQ(-1, ParseMRUEntry("a\nb\n", 4, spans));
}

TEST(ParseMRUEntry, NoEntryFromAnyStartInsideAPartialOne) {
  FieldSpan spans[5];
  const std::string partial = "first\nsecond\nthird";
  for (ptrdiff_t start = 0; start <= static_cast<ptrdiff_t>(partial.size()); ++start)
    EXPECT_EQ(-1, ParseMRUEntry(partial, start, spans)) << start;
  EXPECT_EQ(-1, ParseMRUEntry("only\n", 0, spans));
  // Four complete fields are still not an entry.
  EXPECT_EQ(-1, ParseMRUEntry("1\n2\n3\n4\n5", 0, spans));
}

}  // namespace
