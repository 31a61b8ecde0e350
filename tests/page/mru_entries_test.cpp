// The list model: loading, lookup, clearing, and a comparison with an
// independently written reader over many generated texts.
#include <gtest/gtest.h>

#include <array>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "common/failing_allocator.h"
#include "page/mru_text.h"

namespace {

using Entry = std::array<std::string, 5>;

// The grammar read byte by byte: five fields each ended by a line feed, then
// one byte skipped; whatever is left unfinished at the end is dropped.
std::vector<Entry> ReferenceEntries(const std::string& text) {
  std::vector<Entry> entries;
  Entry current;
  size_t field = 0;
  bool skip_next = false;
  for (char byte : text) {
    if (skip_next) {
      skip_next = false;
      continue;
    }
    if (byte != '\n') {
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
std::vector<std::array<std::string, Fields>> AllEntries(const MruEntries<Fields>& list) {
  std::vector<std::array<std::string, Fields>> entries(list.size());
  for (size_t i = 0; i < list.size(); ++i) {
    for (size_t f = 0; f < Fields; ++f) entries[i][f] = std::string(list.Field(i, f));
  }
  return entries;
}

const char kTwoEntries[] = "db1\nh1\nh2\nlabel one\ndetail\n\ndb2\nx\ny\nlabel two\n\n";

TEST(MruEntries, StartsEmptyAndLoadsEveryCompleteEntry) {
  RecordEntries records;
  EXPECT_EQ(0u, records.size());
  records.Load(kTwoEntries);
  ASSERT_EQ(2u, records.size());
  EXPECT_EQ("db1", records.Field(0, kRecordDataBase));
  EXPECT_EQ("h1", records.Field(0, kHostData1));
  EXPECT_EQ("h2", records.Field(0, kHostData2));
  EXPECT_EQ("label one", records.Field(0, kLabel));
  EXPECT_EQ("detail", records.Field(0, kDetail));
  EXPECT_EQ("label two", records.Field(1, kLabel));
  EXPECT_EQ("", records.Field(1, kDetail));
}

TEST(MruEntries, QueriesKeepTheFirstTwoFieldsOfFiveLineEntries) {
  QueryEntries queries;
  queries.Load("db1\nOpen bugs\nx\ny\nz\n\ndb2\nMine\n\n\n\n");
  ASSERT_EQ(2u, queries.size());
  EXPECT_EQ("db1", queries.Field(0, kQueryDataBase));
  EXPECT_EQ("Open bugs", queries.Field(0, kQueryName));
  EXPECT_EQ("db2", queries.Field(1, kQueryDataBase));
  EXPECT_EQ("Mine", queries.Field(1, kQueryName));
  // Two lines per entry is not the format: read as five-line entries.
  queries.Load("db1\nq1\n\ndb2\nq2\n\ndb3\nq3\n");
  ASSERT_EQ(1u, queries.size());
  EXPECT_EQ("db1", queries.Field(0, kQueryDataBase));
  EXPECT_EQ("q1", queries.Field(0, kQueryName));
}

TEST(MruEntries, LookupCopiesAnEntryOrLeavesTheOutputAlone) {
  RecordEntries records;
  records.Load(kTwoEntries);
  std::array<std::string, 5> fields;
  ASSERT_TRUE(records.Lookup(1, fields));
  EXPECT_EQ((std::array<std::string, 5>{"db2", "x", "y", "label two", ""}), fields);

  std::array<std::string, 5> kept = {"k1", "k2", "k3", "k4", "k5"};
  fields = kept;
  EXPECT_FALSE(records.Lookup(2, fields));
  EXPECT_FALSE(records.Lookup(static_cast<size_t>(-1), fields));
  EXPECT_EQ(kept, fields);

  records.Clear();
  EXPECT_FALSE(records.Lookup(0, fields));
  EXPECT_EQ(kept, fields);
}

TEST(MruEntries, ClearAndLoadReplaceEarlierEntries) {
  RecordEntries records;
  records.Load(kTwoEntries);
  records.Clear();
  EXPECT_EQ(0u, records.size());

  records.Load(kTwoEntries);
  records.Load("new\n2\n3\n4\n5\n");
  ASSERT_EQ(1u, records.size());
  EXPECT_EQ("new", records.Field(0, kRecordDataBase));
  EXPECT_EQ("5", records.Field(0, kDetail));

  records.Load("no complete entry\n");
  EXPECT_EQ(0u, records.size());
  records.Load("");
  EXPECT_EQ(0u, records.size());
}

TEST(MruEntries, FieldsKeepNulAndCarriageReturnBytes) {
  const char text[] = "d\0b\r\n\r\n\0\n\r\rx\n\0\n\n";
  RecordEntries records;
  records.Load(std::string(text, sizeof text - 1));
  ASSERT_EQ(1u, records.size());
  EXPECT_EQ(std::string("d\0b\r", 4), records.Field(0, 0));
  EXPECT_EQ("\r", records.Field(0, 1));
  EXPECT_EQ(std::string("\0", 1), records.Field(0, 2));
  EXPECT_EQ("\r\rx", records.Field(0, 3));
  EXPECT_EQ(std::string("\0", 1), records.Field(0, 4));
}

// Texts built from few bytes, line feeds frequent, so that empty fields,
// touching entries, partial tails, CRs and NULs all come up often.
std::string GeneratedText(std::mt19937& random) {
  static const char kBytes[] = {'\n', '\n', '\n', '\n', 'a', 'b', '\r', '\0', '\x81', '\xff'};
  std::uniform_int_distribution<size_t> length(0, 120);
  std::uniform_int_distribution<size_t> pick(0, sizeof kBytes - 1);
  std::string text(length(random), ' ');
  for (char& byte : text) byte = kBytes[pick(random)];
  return text;
}

TEST(MruEntries, LoadAgreesWithAByteByByteReader) {
  std::mt19937 random(20240517);
  RecordEntries records;
  QueryEntries queries;
  size_t entries_seen = 0;
  for (int round = 0; round < 5000; ++round) {
    std::string text = GeneratedText(random);
    std::vector<Entry> expected = ReferenceEntries(text);
    records.Load(text);
    queries.Load(text);
    ASSERT_EQ(expected, AllEntries(records)) << "round " << round;
    ASSERT_EQ(expected.size(), queries.size()) << "round " << round;
    for (size_t i = 0; i < expected.size(); ++i) {
      ASSERT_EQ(expected[i][0], queries.Field(i, kQueryDataBase)) << "round " << round;
      ASSERT_EQ(expected[i][1], queries.Field(i, kQueryName)) << "round " << round;
    }
    entries_seen += expected.size();
  }
  // The generator must actually produce entries for the comparison to mean anything.
  EXPECT_GT(entries_seen, 5000u);
}

TEST(MruEntries, ManyEmptyEntries) {
  // A host may send nothing but line feeds; every six make one entry.
  const size_t count = 200000;
  RecordEntries records;
  records.Load(std::string(count * 6 - 1, '\n'));
  ASSERT_EQ(count, records.size());
  EXPECT_EQ("", records.Field(count - 1, kDetail));
}

TEST(MruEntries, HostileTextOfSixtyFourMebibytes) {
  // The densest text there is: one entry per six bytes, 11 million entries.
  // Must fit a 32-bit process and count exactly.
  const size_t bytes = size_t{64} << 20;
  RecordEntries records;
  ASSERT_NO_THROW(records.Load(std::string(bytes, '\n')));
  ASSERT_EQ((bytes + 1) / 6, records.size());
  EXPECT_EQ("", records.Field(records.size() - 1, kDetail));
  records.Clear();
  EXPECT_EQ(0u, records.size());
}

TEST(MruEntries, FailedLoadLeavesNoEntries) {
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "database\nhost one\nhost two\nlabel\ndetail\n\n";
  RecordEntries records;
  records.Load(kTwoEntries);
  bool failed = false;
  {
    std::string copy = text;
    FailingAllocations failing(0);
    try {
      records.Load(std::move(copy));
    } catch (const std::bad_alloc&) {
      failed = true;
    }
    EXPECT_GT(failing.refused(), 0);
  }
  EXPECT_TRUE(failed);
  EXPECT_EQ(0u, records.size());

  records.Load(kTwoEntries);
  {
    std::string copy = text;
    FailingAllocations failing(3);
    EXPECT_THROW(records.Load(std::move(copy)), std::bad_alloc);
  }
  EXPECT_EQ(0u, records.size());

  // Nothing is left in a bad state: the next load works.
  EXPECT_NO_THROW(records.Load(text));
  EXPECT_EQ(1000u, records.size());
}

TEST(MruEntries, FailedLookupLeavesTheOutputAlone) {
  // Fields too long for any small-string buffer, so every copy allocates.
  std::string longer(40, 'L');
  RecordEntries records;
  records.Load(longer + "\n" + longer + "\n" + longer + "\n" + longer + "\n" + longer + "\n");
  std::array<std::string, 5> kept = {"k1", "k2", "k3", "k4", "k5"};
  std::array<std::string, 5> fields = kept;
  {
    FailingAllocations failing(2);
    EXPECT_THROW(records.Lookup(0, fields), std::bad_alloc);
  }
  EXPECT_EQ(kept, fields);
}

}  // namespace
