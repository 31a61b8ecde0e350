// What the platform answers for the names the search builds on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "server/satellite_loader.h"

namespace {

struct Expected {
  WORD language;
  const wchar_t* iso_language;
  const wchar_t* iso_country;
  const wchar_t* abbreviated;
  const wchar_t* abbreviated_primary;
  const wchar_t* first_candidate;
};

SatelliteLookup ReadFor(WORD language) {
  SatelliteLookup lookup;
  lookup.ui_language = language;
  lookup.drive = L"C:";
  lookup.directory = L"\\x\\";
  lookup.base_name = L"N";
  ReadLanguageNames(lookup);
  return lookup;
}

TEST(LanguageNames, PlatformGivesTheExpectedIsoAndAbbreviatedNames) {
  const Expected cases[] = {
      {0x0409, L"en", L"US", L"ENU", L"ENU", L"C:\\x\\resdll\\N_en_US.rsc"},
      {0x0407, L"de", L"DE", L"DEU", L"DEU", L"C:\\x\\resdll\\N_de_DE.rsc"},
      {0x0804, L"zh", L"CN", L"CHS", L"CHS", L"C:\\x\\resdll\\N_zh_Hans_CN.rsc"},
      {0x0C04, L"zh", L"HK", L"ZHH", L"CHS", L"C:\\x\\resdll\\N_zh_Hant_HK.rsc"},
      {0x1404, L"zh", L"MO", L"ZHM", L"CHS", L"C:\\x\\resdll\\N_zh_Hant_MO.rsc"},
      // Chinese sublanguage 31 (traditional, neutral): no script form first.
      {0x7C04, L"zh", L"HK", L"ZHH", L"CHS", L"C:\\x\\resdll\\N_zh_HK.rsc"},
      {0x0816, L"pt", L"PT", L"PTG", L"PTB", L"C:\\x\\resdll\\N_pt_PT.rsc"},
  };
  for (const Expected& expected : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << expected.language);
    const SatelliteLookup lookup = ReadFor(expected.language);
    EXPECT_EQ(lookup.iso_language, expected.iso_language);
    EXPECT_EQ(lookup.iso_country, expected.iso_country);
    EXPECT_EQ(lookup.abbreviated_language, expected.abbreviated);
    EXPECT_EQ(lookup.abbreviated_primary, expected.abbreviated_primary);
    const std::vector<std::wstring> names = SatelliteCandidates(lookup);
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.front(), expected.first_candidate);
  }
}

TEST(LanguageNames, UnknownLanguageLeavesEveryNameEmpty) {
  // Chinese sublanguage 6 names no locale; its primary language still abbreviates.
  const SatelliteLookup lookup = ReadFor(0x1804);
  EXPECT_EQ(lookup.iso_language, L"");
  EXPECT_EQ(lookup.iso_country, L"");
  EXPECT_EQ(lookup.abbreviated_language, L"");
  EXPECT_EQ(lookup.abbreviated_primary, L"CHS");
  EXPECT_EQ(SatelliteCandidates(lookup), std::vector<std::wstring>{L"C:\\x\\resdll\\N_CHS.rsc"});
}

}  // namespace
