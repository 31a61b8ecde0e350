// What the platform answers for the names the search builds on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "server/satellite_loader.h"

namespace {

struct Expected {
  WORD language;
  const char* iso_language;
  const char* iso_country;
  const char* abbreviated;
  const char* abbreviated_primary;
  const char* first_candidate;
};

SatelliteLookup ReadFor(WORD language) {
  SatelliteLookup lookup;
  lookup.ui_language = language;
  lookup.drive = "C:";
  lookup.directory = "\\x\\";
  lookup.base_name = "N";
  ReadLanguageNames(lookup);
  return lookup;
}

TEST(LanguageNames, PlatformGivesTheExpectedIsoAndAbbreviatedNames) {
  const Expected cases[] = {
      {0x0409, "en", "US", "ENU", "ENU", "C:\\x\\resdll\\N_en_US.rsc"},
      {0x0407, "de", "DE", "DEU", "DEU", "C:\\x\\resdll\\N_de_DE.rsc"},
      {0x0804, "zh", "CN", "CHS", "CHS", "C:\\x\\resdll\\N_zh_Hans_CN.rsc"},
      {0x0C04, "zh", "HK", "ZHH", "CHS", "C:\\x\\resdll\\N_zh_Hant_HK.rsc"},
      {0x1404, "zh", "MO", "ZHM", "CHS", "C:\\x\\resdll\\N_zh_Hant_MO.rsc"},
      // Chinese sublanguage 31 (traditional, neutral): no script form first.
      {0x7C04, "zh", "HK", "ZHH", "CHS", "C:\\x\\resdll\\N_zh_HK.rsc"},
      {0x0816, "pt", "PT", "PTG", "PTB", "C:\\x\\resdll\\N_pt_PT.rsc"},
  };
  for (const Expected& expected : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << expected.language);
    const SatelliteLookup lookup = ReadFor(expected.language);
    EXPECT_EQ(lookup.iso_language, expected.iso_language);
    EXPECT_EQ(lookup.iso_country, expected.iso_country);
    EXPECT_EQ(lookup.abbreviated_language, expected.abbreviated);
    EXPECT_EQ(lookup.abbreviated_primary, expected.abbreviated_primary);
    const std::vector<std::string> names = SatelliteCandidates(lookup);
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.front(), expected.first_candidate);
  }
}

TEST(LanguageNames, UnknownLanguageLeavesEveryNameEmpty) {
  // Chinese sublanguage 6 names no locale; its primary language still abbreviates.
  const SatelliteLookup lookup = ReadFor(0x1804);
  EXPECT_EQ(lookup.iso_language, "");
  EXPECT_EQ(lookup.iso_country, "");
  EXPECT_EQ(lookup.abbreviated_language, "");
  EXPECT_EQ(lookup.abbreviated_primary, "CHS");
  EXPECT_EQ(SatelliteCandidates(lookup), std::vector<std::string>{"C:\\x\\resdll\\N_CHS.rsc"});
}

}  // namespace
