#include "framework/text.h"

#include <gtest/gtest.h>

namespace {

// Runs each case under a given thread locale and puts the old one back.
class ThreadLocaleTest : public ::testing::TestWithParam<LCID> {
 protected:
  void SetUp() override {
    saved_ = GetThreadLocale();
    ASSERT_TRUE(SetThreadLocale(GetParam()));
  }
  void TearDown() override { SetThreadLocale(saved_); }
  LCID saved_ = 0;
};

Bstr MakeBstr(const wchar_t* characters, UINT length) {
  return Bstr(SysAllocStringLen(characters, length));
}

TEST_P(ThreadLocaleTest, NullAndEmptyBstrReadAsEmptyText) {
  EXPECT_EQ(NarrowFromBstr(nullptr), "");
  Bstr empty = MakeBstr(L"", 0);
  EXPECT_EQ(NarrowFromBstr(empty.get()), "");
}

TEST_P(ThreadLocaleTest, BstrIsReadUpToItsFirstNul) {
  Bstr text = MakeBstr(L"ab\0cd", 5);
  EXPECT_EQ(NarrowFromBstr(text.get()), "ab");
  Bstr leading = MakeBstr(L"\0cd", 3);
  EXPECT_EQ(NarrowFromBstr(leading.get()), "");
}

TEST_P(ThreadLocaleTest, EmptyTextGivesZeroLengthNonNullBstr) {
  Bstr result;
  ASSERT_EQ(BstrFromNarrow("", result), S_OK);
  ASSERT_NE(result.get(), nullptr);
  EXPECT_EQ(SysStringLen(result.get()), 0u);
}

TEST_P(ThreadLocaleTest, NarrowTextKeepsEmbeddedNulsInTheBstr) {
  Bstr result;
  ASSERT_EQ(BstrFromNarrow(std::string("a\0b", 3), result), S_OK);
  ASSERT_EQ(SysStringLen(result.get()), 3u);
  EXPECT_EQ(result.get()[0], L'a');
  EXPECT_EQ(result.get()[1], L'\0');
  EXPECT_EQ(result.get()[2], L'b');
}

TEST_P(ThreadLocaleTest, TextRoundTripsInTheThreadCodePage) {
  // Characters the thread's code page can hold: ASCII everywhere, Kana and
  // Kanji under the Japanese locale.
  const bool japanese = PRIMARYLANGID(LANGIDFROMLCID(GetParam())) == LANG_JAPANESE;
  const std::wstring wide = japanese ? L"\x65E5\x672C\x30C6\x30B9\x30C8 db" : L"Orvelt db";
  Bstr original = MakeBstr(wide.c_str(), static_cast<UINT>(wide.size()));
  const std::string narrow = NarrowFromBstr(original.get());
  if (japanese) {
    // Shift-JIS: two bytes for each of the five wide characters, then " db".
    EXPECT_EQ(narrow.size(), 13u);
  } else {
    EXPECT_EQ(narrow, "Orvelt db");
  }
  Bstr back;
  ASSERT_EQ(BstrFromNarrow(narrow, back), S_OK);
  EXPECT_EQ(std::wstring(back.get(), SysStringLen(back.get())), wide);
}

INSTANTIATE_TEST_SUITE_P(EnglishAndJapanese, ThreadLocaleTest,
                         ::testing::Values(MAKELCID(0x0409, SORT_DEFAULT),
                                           MAKELCID(0x0411, SORT_DEFAULT)));

BSTR WINAPI FailingAllocator(const OLECHAR*, UINT) { return nullptr; }

TEST(BstrAllocation, FailureGivesOutOfMemoryAndAnEmptyResult) {
  Bstr result(SysAllocString(L"old"));
  BstrAllocator previous = SetBstrAllocator(FailingAllocator);
  EXPECT_EQ(BstrFromNarrow("text", result), E_OUTOFMEMORY);
  EXPECT_EQ(result.get(), nullptr);
  EXPECT_EQ(BstrFromNarrow("", result), E_OUTOFMEMORY);
  SetBstrAllocator(previous);
  EXPECT_EQ(BstrFromNarrow("text", result), S_OK);
  EXPECT_EQ(SysStringLen(result.get()), 4u);
}

}  // namespace
