// The development host's data model and data file: what it writes reads back
// unchanged, a faulty file is refused with the line named and nothing lost,
// and the lists it hands the page read back through the page's own parser.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "common/host_copy.h"
#include "common/test_paths.h"
#include "tools/devhost/data_file.h"

namespace {
// The sample is ASCII: each byte is one UTF-16 unit.
std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }
HostData Sample() {
  HostData data;
  data.registry_key = "Software\\Pellwick\\Test";
  data.current_data_base = "B";
  data.data_bases = {{"A", {"Defect", "", "Change Request"}}, {"B", {}}, {" spaced ", {"x"}}};
  data.records = {{"A", "h|1", "h\\2", "Label", ""},
                  {"", "", "", "", ""},
                  {"B", "\\|", "|\\", " lead", "trail "}};
  data.queries = {{"A", "Public Queries/All"}, {"B", "a|b"}};
  return data;
}

HostData Parsed(const std::string& text) {
  HostData data;
  DataFileError error;
  EXPECT_TRUE(ParseDataFile(text, data, error)) << "line " << error.line << ": " << error.message;
  return data;
}
}  // namespace

TEST(DataFile, PrintedDataReadsBackEqualAndPrintsTheSame) {
  const std::string text = PrintDataFile(Sample());
  const HostData back = Parsed(text);
  EXPECT_EQ(back, Sample()) << text;
  EXPECT_EQ(PrintDataFile(back), text);
}

TEST(DataFile, EmptyDataAndEmptyTextAreTheSame) {
  EXPECT_EQ(Parsed(""), HostData());
  EXPECT_EQ(Parsed(PrintDataFile(HostData())), HostData());
}

TEST(DataFile, WindowsLineEndsCommentsAndIndentationAreAccepted) {
  const HostData data = Parsed(
      "# a comment\r\n\r\nkey K\r\ncurrent D\r\ndatabase D\r\n\t  type T1\r\n  # another\r\n"
      "record D|1|2|L|X\r\nquery D|Q");
  EXPECT_EQ(data.registry_key, "K");
  EXPECT_EQ(data.current_data_base, "D");
  ASSERT_EQ(data.data_bases.size(), 1u);
  EXPECT_EQ(data.data_bases[0].record_types, std::vector<std::string>{"T1"});
  EXPECT_EQ(data.records, (std::vector<RecordEntry>{{"D", "1", "2", "L", "X"}}));
  EXPECT_EQ(data.queries, (std::vector<QueryEntry>{{"D", "Q"}}));
}

TEST(DataFile, TheShippedSampleReads) {
  std::ifstream in(ProgramDir() + "devhost-sample.txt", std::ios::binary);
  ASSERT_TRUE(in) << "devhost-sample.txt is not beside the tests";
  std::stringstream text;
  text << in.rdbuf();
  const HostData data = Parsed(text.str());
  EXPECT_FALSE(data.current_data_base.empty());
  EXPECT_FALSE(data.registry_key.empty());
  EXPECT_FALSE(data.records.empty());
  EXPECT_FALSE(data.queries.empty());
}

TEST(DataFile, AFaultyFileIsRefusedNamingTheLineAndLeavesTheDataAlone) {
  struct Case {
    const char* text;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {"key K\n\nrecrod A|b|c|d|e\n", 3, "unknown keyword 'recrod'"},
      {"# types first\ntype T\n", 2, "'type' before any 'database' line"},
      {"database A\nrecord A|b|c|d\n", 2, "'record' needs 5 fields separated by '|', found 4"},
      {"query A|b|c\n", 1, "'query' needs 2 fields separated by '|', found 3"},
      {"query A|b\\c\n", 1, "a backslash must be followed by '|' or '\\' (column 10)"},
      {"query A|b\\\n", 1, "a backslash must be followed"},
      {"\n  query AB\\\n", 2, "(column 11)"},
      {"key A\nkey B\n", 2, "second 'key' line (the first is line 1)"},
      {"current A\n\ncurrent A\ndatabase A\n", 3, "second 'current' line (the first is line 1)"},
      {"database A\ndatabase A\n", 2, "database 'A' is listed twice"},
      {"database A\ncurrent Z\ndatabase B\n", 2, "current database 'Z' has no 'database' line"},
  };
  for (const Case& c : cases) {
    HostData data = Sample();
    DataFileError error;
    EXPECT_FALSE(ParseDataFile(c.text, data, error)) << c.text;
    EXPECT_EQ(error.line, c.line) << c.text;
    EXPECT_NE(error.message.find(c.message), std::string::npos)
        << c.text << "\nmessage: " << error.message;
    EXPECT_EQ(data, Sample()) << "a refused file changed the data: " << c.text;
  }
}

TEST(HostLists, TheListTextsReadBackThroughThePagesParser) {
  const HostData data = Sample();
  RecordEntries records;
  ReadHostCopy(records, Wide(RecordMruText(data.records)));
  ASSERT_EQ(records.size(), data.records.size());
  for (size_t i = 0; i < records.size(); ++i) {
    const RecordEntry& r = data.records[i];
    EXPECT_EQ(records.Field(i, kRecordDataBase), Wide(r.data_base));
    EXPECT_EQ(records.Field(i, kHostData1), Wide(r.host_data1));
    EXPECT_EQ(records.Field(i, kHostData2), Wide(r.host_data2));
    EXPECT_EQ(records.Field(i, kLabel), Wide(r.label));
    EXPECT_EQ(records.Field(i, kDetail), Wide(r.detail));
  }
  QueryEntries queries;
  ReadHostCopy(queries, Wide(QueryMruText(data.queries)));
  ASSERT_EQ(queries.size(), data.queries.size());
  for (size_t i = 0; i < queries.size(); ++i) {
    EXPECT_EQ(queries.Field(i, kQueryDataBase), Wide(data.queries[i].data_base));
    EXPECT_EQ(queries.Field(i, kQueryName), Wide(data.queries[i].query_name));
  }
  EXPECT_EQ(RecordTypesText(data, "A"), "Defect\n\nChange Request");
  EXPECT_EQ(RecordTypesText(data, "B"), "");
  EXPECT_EQ(RecordTypesText(data, "unknown"), "");
}

TEST(HostLists, MovingToTheTopKeepsOneCopyAndAtMostTwenty) {
  std::vector<QueryEntry> queries;
  for (int i = 0; i < 25; ++i) MoveToTop(queries, {"D", std::to_string(i)});
  ASSERT_EQ(queries.size(), kMostRecent);
  EXPECT_EQ(queries.front().query_name, "24");
  EXPECT_EQ(queries.back().query_name, "5");

  MoveToTop(queries, {"D", "10"});
  ASSERT_EQ(queries.size(), kMostRecent);
  EXPECT_EQ(queries[0].query_name, "10");
  EXPECT_EQ(queries[1].query_name, "24");
  EXPECT_EQ(std::count(queries.begin(), queries.end(), QueryEntry{"D", "10"}), 1);

  EXPECT_TRUE(RemoveEntry(queries, {"D", "10"}));
  EXPECT_FALSE(RemoveEntry(queries, {"D", "10"}));
  EXPECT_FALSE(RemoveEntry(queries, {"E", "24"}));
  EXPECT_EQ(queries.size(), kMostRecent - 1);
}
