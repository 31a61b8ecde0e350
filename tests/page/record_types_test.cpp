// Cutting the record-types text into the names of the combo box.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "page/record_types_text.h"

namespace {

using Names = std::vector<std::string>;

TEST(SplitRecordTypes, LineFeedPlacement) {
  EXPECT_EQ(Names{}, SplitRecordTypes("").names);
  EXPECT_EQ(Names{"Defect"}, SplitRecordTypes("Defect").names);
  EXPECT_EQ((Names{"Defect", "Task"}), SplitRecordTypes("Defect\nTask").names);
  // Two in a row give an empty name between their neighbours.
  EXPECT_EQ((Names{"Defect", "", "Task"}), SplitRecordTypes("Defect\n\nTask").names);
  // A leading one gives a leading empty name, a final one no extra name.
  EXPECT_EQ((Names{"", "Defect"}), SplitRecordTypes("\nDefect").names);
  EXPECT_EQ(Names{"Defect"}, SplitRecordTypes("Defect\n").names);
  EXPECT_EQ((Names{"Defect", ""}), SplitRecordTypes("Defect\n\n").names);
  EXPECT_EQ(Names{""}, SplitRecordTypes("\n").names);
  EXPECT_EQ((Names{"", ""}), SplitRecordTypes("\n\n").names);
}

TEST(SplitRecordTypes, NothingIsTrimmed) {
  EXPECT_EQ((Names{"Defect\r", " Task "}), SplitRecordTypes("Defect\r\n Task ").names);
  const char with_nul[] = "a\0b\nc";
  EXPECT_EQ((Names{std::string("a\0b", 3), "c"}),
            SplitRecordTypes(std::string(with_nul, sizeof with_nul - 1)).names);
}

TEST(SplitRecordTypes, LongestNameInBytes) {
  EXPECT_EQ(0u, SplitRecordTypes("").longest);
  EXPECT_EQ(0u, SplitRecordTypes("\n\n").longest);
  RecordTypeNames split = SplitRecordTypes("Task\nTwentyByteTypeNames!\n\nBug\n");
  EXPECT_EQ(20u, split.longest);
  EXPECT_EQ(4u, split.names.size());
  // The longest may come first, last, or be the only one.
  EXPECT_EQ(7u, SplitRecordTypes("Longest\nab").longest);
  EXPECT_EQ(7u, SplitRecordTypes("ab\nLongest").longest);
  EXPECT_EQ(7u, SplitRecordTypes("Longest\n").longest);
}

// Joined back with line feeds, the names give the text minus one final line
// feed; the longest is the longest of them.
TEST(SplitRecordTypes, RoundTripOverGeneratedTexts) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> length(0, 40);
  std::uniform_int_distribution<int> pick(0, 3);
  const char bytes[] = {'\n', 'x', '\r', 'y'};
  for (int round = 0; round < 2000; ++round) {
    std::string text(static_cast<size_t>(length(random)), ' ');
    for (char& byte : text) byte = bytes[pick(random)];
    RecordTypeNames split = SplitRecordTypes(text);

    std::string joined;
    size_t longest = 0;
    for (size_t i = 0; i < split.names.size(); ++i) {
      if (i) joined += '\n';
      joined += split.names[i];
      longest = std::max(longest, split.names[i].size());
    }
    std::string expected = text;
    if (!expected.empty() && expected.back() == '\n') expected.pop_back();
    ASSERT_EQ(expected, joined) << "round " << round;
    ASSERT_EQ(longest, split.longest) << "round " << round;
    for (const std::string& name : split.names)
      ASSERT_EQ(std::string::npos, name.find('\n')) << "round " << round;
  }
}

}  // namespace
