// Cutting the record-types text into the names of the combo box.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "page/record_types_text.h"

namespace {

using Names = std::vector<std::wstring>;

TEST(SplitRecordTypes, LineFeedPlacement) {
  EXPECT_EQ(Names{}, SplitRecordTypes(L""));
  EXPECT_EQ(Names{L"Defect"}, SplitRecordTypes(L"Defect"));
  EXPECT_EQ((Names{L"Defect", L"Task"}), SplitRecordTypes(L"Defect\nTask"));
  // Two in a row give an empty name between their neighbours.
  EXPECT_EQ((Names{L"Defect", L"", L"Task"}), SplitRecordTypes(L"Defect\n\nTask"));
  // A leading one gives a leading empty name, a final one no extra name.
  EXPECT_EQ((Names{L"", L"Defect"}), SplitRecordTypes(L"\nDefect"));
  EXPECT_EQ(Names{L"Defect"}, SplitRecordTypes(L"Defect\n"));
  EXPECT_EQ((Names{L"Defect", L""}), SplitRecordTypes(L"Defect\n\n"));
  EXPECT_EQ(Names{L""}, SplitRecordTypes(L"\n"));
  EXPECT_EQ((Names{L"", L""}), SplitRecordTypes(L"\n\n"));
}

TEST(SplitRecordTypes, NothingIsTrimmed) {
  EXPECT_EQ((Names{L"Defect\r", L" Task "}), SplitRecordTypes(L"Defect\r\n Task "));
  const wchar_t with_nul[] = L"a\0b\nc\xD800";
  EXPECT_EQ((Names{std::wstring(L"a\0b", 3), L"c\xD800"}),
            SplitRecordTypes(std::wstring(with_nul, sizeof with_nul / sizeof(wchar_t) - 1)));
}

// Joined back with line feeds, the names give the text minus one final line feed.
TEST(SplitRecordTypes, RoundTripOverGeneratedTexts) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> length(0, 40);
  std::uniform_int_distribution<int> pick(0, 3);
  const wchar_t units[] = {L'\n', L'x', L'\r', L'\x0416'};
  for (int round = 0; round < 2000; ++round) {
    std::wstring text(static_cast<size_t>(length(random)), L' ');
    for (wchar_t& unit : text) unit = units[pick(random)];
    const Names names = SplitRecordTypes(text);

    std::wstring joined;
    for (size_t i = 0; i < names.size(); ++i) {
      if (i) joined += L'\n';
      joined += names[i];
    }
    std::wstring expected = text;
    if (!expected.empty() && expected.back() == L'\n') expected.pop_back();
    ASSERT_EQ(expected, joined) << "round " << round;
    for (const std::wstring& name : names)
      ASSERT_EQ(std::wstring::npos, name.find(L'\n')) << "round " << round;
  }
}

}  // namespace
