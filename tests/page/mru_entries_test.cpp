// The list model: reading a host's text, clearing, giving the text back, and a
// comparison with an independently written reader over many generated texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#include "common/failing_allocator.h"
#include "common/host_copy.h"
#include "page/mru_text.h"

namespace {

using Entry = std::array<std::wstring, 5>;

// The grammar read unit by unit: five fields each ended by a line feed, then
// one unit skipped; whatever is left unfinished at the end is dropped.
std::vector<Entry> ReferenceEntries(const std::wstring& text) {
  std::vector<Entry> entries;
  Entry current;
  size_t field = 0;
  bool skip_next = false;
  for (wchar_t byte : text) {
    if (skip_next) {
      skip_next = false;
      continue;
    }
    if (byte != L'\n') {
      current[field] += byte;
      continue;
    }
    if (++field < 5) continue;
    entries.push_back(current);
    current = Entry();
    field = 0;
    skip_next = true;
  }
  return entries;
}

template <size_t Fields>
std::vector<std::array<std::wstring, Fields>> AllEntries(const MruEntries<Fields>& list) {
  std::vector<std::array<std::wstring, Fields>> entries(list.size());
  for (size_t i = 0; i < list.size(); ++i) {
    for (size_t f = 0; f < Fields; ++f) entries[i][f] = std::wstring(list.Field(i, f));
  }
  return entries;
}

const wchar_t kTwoEntries[] = L"db1\nh1\nh2\nlabel one\ndetail\n\ndb2\nx\ny\nlabel two\n\n";

TEST(MruEntries, StartsEmptyAndReadsEveryCompleteEntry) {
  RecordEntries records;
  EXPECT_EQ(0u, records.size());
  ReadHostCopy(records, kTwoEntries);
  ASSERT_EQ(2u, records.size());
  EXPECT_EQ(L"db1", records.Field(0, kRecordDataBase));
  EXPECT_EQ(L"h1", records.Field(0, kHostData1));
  EXPECT_EQ(L"h2", records.Field(0, kHostData2));
  EXPECT_EQ(L"label one", records.Field(0, kLabel));
  EXPECT_EQ(L"detail", records.Field(0, kDetail));
  EXPECT_EQ(L"label two", records.Field(1, kLabel));
  EXPECT_EQ(L"", records.Field(1, kDetail));
}

TEST(MruEntries, QueriesKeepTheFirstTwoFieldsOfFiveLineEntries) {
  QueryEntries queries;
  ReadHostCopy(queries, L"db1\nOpen bugs\nx\ny\nz\n\ndb2\nMine\n\n\n\n");
  ASSERT_EQ(2u, queries.size());
  EXPECT_EQ(L"db1", queries.Field(0, kQueryDataBase));
  EXPECT_EQ(L"Open bugs", queries.Field(0, kQueryName));
  EXPECT_EQ(L"db2", queries.Field(1, kQueryDataBase));
  EXPECT_EQ(L"Mine", queries.Field(1, kQueryName));
  // Two lines per entry is not the format: read as five-line entries.
  ReadHostCopy(queries, L"db1\nq1\n\ndb2\nq2\n\ndb3\nq3\n");
  ASSERT_EQ(1u, queries.size());
  EXPECT_EQ(L"db1", queries.Field(0, kQueryDataBase));
  EXPECT_EQ(L"q1", queries.Field(0, kQueryName));
}

TEST(MruEntries, ClearAndAnotherTextReplaceEarlierEntries) {
  RecordEntries records;
  ReadHostCopy(records, kTwoEntries);
  records.Clear();
  EXPECT_EQ(0u, records.size());

  ReadHostCopy(records, kTwoEntries);
  ReadHostCopy(records, L"new\n2\n3\n4\n5\n");
  ASSERT_EQ(1u, records.size());
  EXPECT_EQ(L"new", records.Field(0, kRecordDataBase));
  EXPECT_EQ(L"5", records.Field(0, kDetail));

  ReadHostCopy(records, L"no complete entry\n");
  EXPECT_EQ(0u, records.size());
  ReadHostCopy(records, L"");
  EXPECT_EQ(0u, records.size());
}

TEST(MruEntries, FieldsKeepCarriageReturnsAndTheFirstNulEndsTheText) {
  const wchar_t text[] = L"d\rb\r\n\r\n\n\r\rx\n\n\n\0db2\n2\n3\n4\n5\n";
  RecordEntries records;
  ReadHostCopy(records, std::wstring_view(text, sizeof text / sizeof text[0] - 1));
  ASSERT_EQ(1u, records.size());
  EXPECT_EQ(L"d\rb\r", records.Field(0, 0));
  EXPECT_EQ(L"\r", records.Field(0, 1));
  EXPECT_EQ(L"", records.Field(0, 2));
  EXPECT_EQ(L"\r\rx", records.Field(0, 3));
  EXPECT_EQ(L"", records.Field(0, 4));
}

// Texts built from few units (a lone surrogate among them), line feeds
// frequent, so that empty fields, touching entries, partial tails and CRs
// all come up often.
std::wstring GeneratedText(std::mt19937& random) {
  static const wchar_t kUnits[] = {L'\n', L'\n', L'\n', L'\n', L'a',
                                   L'b',   L'\r', L'\x0416', L'\xD800'};
  std::uniform_int_distribution<size_t> length(0, 120);
  std::uniform_int_distribution<size_t> pick(0, sizeof kUnits / sizeof kUnits[0] - 1);
  std::wstring text(length(random), L' ');
  for (wchar_t& unit : text) unit = kUnits[pick(random)];
  return text;
}

int g_texts_given_back = 0;
void GiveBack(wchar_t* text) noexcept {
  ++g_texts_given_back;
  delete[] text;
}

// Read a part at a time, as a refill does: an entry, its skipped unit or the
// NUL that ends the text may fall on either side of a part's end. Each text
// goes back exactly once: when the entries take the next, or at once when
// it holds no entry.
TEST(MruEntries, ReadingInPartsAgreesWithAUnitByUnitReader) {
  std::mt19937 random(20261209);
  std::uniform_int_distribution<size_t> part(0, 300);
  RecordEntries records;
  QueryEntries queries;
  g_texts_given_back = 0;
  size_t entries_seen = 0;
  const int rounds = 3000;
  for (int round = 0; round < rounds; ++round) {
    std::wstring text;
    for (int piece = 0; piece <= round % 12; ++piece) text += GeneratedText(random);
    if (round % 2 && !text.empty()) text[part(random) % text.size()] = L'\0';
    const std::vector<Entry> expected = ReferenceEntries(text.substr(0, text.find(L'\0')));
    ReadHostCopy(records, text, part(random), GiveBack);
    ReadHostCopy(queries, text, part(random), GiveBack);
    ASSERT_EQ(expected, AllEntries(records)) << "round " << round;
    ASSERT_EQ(expected.size(), queries.size()) << "round " << round;
    for (size_t i = 0; i < expected.size(); ++i) {
      ASSERT_EQ(expected[i][0], queries.Field(i, kQueryDataBase)) << "round " << round;
      ASSERT_EQ(expected[i][1], queries.Field(i, kQueryName)) << "round " << round;
    }
    EXPECT_FALSE(records.ReadMore(1));
    ASSERT_EQ(2 * round + (expected.empty() ? 2 : 0), g_texts_given_back) << "round " << round;
    entries_seen += expected.size();
  }
  // The generator must actually produce entries for the comparison to mean anything.
  EXPECT_GT(entries_seen, 5000u);
  records.Clear();
  queries.HoldWithoutReading(nullptr, 0, GiveBack);
  EXPECT_FALSE(queries.ReadMore(64));
  EXPECT_EQ(2 * rounds, g_texts_given_back);
  EXPECT_EQ(0u, queries.size());
}

TEST(MruEntries, ManyEmptyEntries) {
  // A host may send nothing but line feeds; every six make one entry.
  const size_t count = 200000;
  RecordEntries records;
  ReadHostCopy(records, std::wstring(count * 6 - 1, L'\n'));
  ASSERT_EQ(count, records.size());
  EXPECT_EQ(L"", records.Field(count - 1, kDetail));
}

TEST(MruEntries, HostileTextOfSixtyFourMebibytes) {
  // The densest text there is: 64 MiB of UTF-16, one entry per six units,
  // 5.6 million entries.
  // Must fit a 32-bit process and count exactly.
  const size_t units = size_t{32} << 20;
  RecordEntries records;
  ReadHostCopy(records, std::wstring(units, L'\n'));
  ASSERT_EQ((units + 1) / 6, records.size());
  EXPECT_EQ(L"", records.Field(records.size() - 1, kDetail));
  records.Clear();
  EXPECT_EQ(0u, records.size());
}

TEST(MruEntries, AFailedReadKeepsTheEntriesReadBeforeAndEndsThere) {
  std::wstring text;
  for (int i = 0; i < 1000; ++i) text += L"database\nhost one\nhost two\nlabel\ndetail\n\n";
  RecordEntries records;
  records.HoldWithoutReading(HostCopy(text), text.size(), DeleteHostCopy);
  ASSERT_TRUE(records.ReadMore(64));
  ASSERT_EQ(1u, records.size());
  bool failed = false;
  {
    FailingAllocations failing(0);
    try {
      records.ReadMore(text.size());
    } catch (const std::bad_alloc&) {
      failed = true;
    }
    EXPECT_GT(failing.refused(), 0);
  }
  EXPECT_TRUE(failed);
  EXPECT_FALSE(records.ReadMore(text.size()));
  ASSERT_EQ(1u, records.size());
  EXPECT_EQ(L"detail", records.Field(0, kDetail));

  // Nothing is left in a bad state: the next text reads whole.
  ReadHostCopy(records, text);
  EXPECT_EQ(1000u, records.size());
}

}  // namespace
