// The ordered candidate names for each kind of UI language, from given values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "server/satellite_names.h"

namespace {

using Names = std::vector<std::string>;

SatelliteLookup Lookup(std::uint16_t language, const char* iso_language, const char* iso_country,
                       const char* abbreviated, const char* abbreviated_primary) {
  SatelliteLookup lookup;
  lookup.ui_language = language;
  lookup.drive = "C:";
  lookup.directory = "\\Program Files\\Halvern\\";
  lookup.base_name = "Pellwick";
  lookup.iso_language = iso_language;
  lookup.iso_country = iso_country;
  lookup.abbreviated_language = abbreviated;
  lookup.abbreviated_primary = abbreviated_primary;
  return lookup;
}

// The candidate names without the common "C:\Program Files\Halvern\resdll\" head.
Names Tails(const Names& names) {
  const std::string head = "C:\\Program Files\\Halvern\\resdll\\";
  Names tails;
  for (const std::string& name : names) {
    EXPECT_EQ(name.compare(0, head.size(), head), 0) << name;
    tails.push_back(name.substr(head.size()));
  }
  return tails;
}

TEST(SatelliteCandidates, WesternLanguagesTryCountryThenLanguageThenAbbreviations) {
  EXPECT_EQ(Tails(SatelliteCandidates(Lookup(0x0409, "en", "US", "ENU", "ENU"))),
            (Names{"Pellwick_en_US.rsc", "Pellwick_en-US.rsc", "Pellwick_en.rsc",
                   "Pellwick_ENU.rsc", "Pellwick_ENU.rsc"}));
  EXPECT_EQ(Tails(SatelliteCandidates(Lookup(0x0407, "de", "DE", "DEU", "DEU"))),
            (Names{"Pellwick_de_DE.rsc", "Pellwick_de-DE.rsc", "Pellwick_de.rsc",
                   "Pellwick_DEU.rsc", "Pellwick_DEU.rsc"}));
  // Portuguese (Portugal): the primary language alone abbreviates differently.
  EXPECT_EQ(Tails(SatelliteCandidates(Lookup(0x0816, "pt", "PT", "PTG", "PTB"))),
            (Names{"Pellwick_pt_PT.rsc", "Pellwick_pt-PT.rsc", "Pellwick_pt.rsc",
                   "Pellwick_PTG.rsc", "Pellwick_PTB.rsc"}));
}

TEST(SatelliteCandidates, ChineseSublanguagesOneToFiveAddTheirScriptFirst) {
  EXPECT_EQ(Tails(SatelliteCandidates(Lookup(0x0804, "zh", "CN", "CHS", "CHS"))),
            (Names{"Pellwick_zh_Hans_CN.rsc", "Pellwick_zh_Hans.rsc", "Pellwick_zh_CN.rsc",
                   "Pellwick_zh-CN.rsc", "Pellwick_zh.rsc", "Pellwick_CHS.rsc",
                   "Pellwick_CHS.rsc"}));
  EXPECT_EQ(Tails(SatelliteCandidates(Lookup(0x0C04, "zh", "HK", "ZHH", "CHS"))),
            (Names{"Pellwick_zh_Hant_HK.rsc", "Pellwick_zh_Hant.rsc", "Pellwick_zh_HK.rsc",
                   "Pellwick_zh-HK.rsc", "Pellwick_zh.rsc", "Pellwick_ZHH.rsc",
                   "Pellwick_CHS.rsc"}));
  EXPECT_EQ(Tails(SatelliteCandidates(Lookup(0x1404, "zh", "MO", "ZHM", "CHS")))[0],
            "Pellwick_zh_Hant_MO.rsc");
}

TEST(SatelliteCandidates, ScriptFollowsTheChineseSublanguageOnly) {
  EXPECT_STREQ(ScriptTag(0x0004), "");
  EXPECT_STREQ(ScriptTag(0x0404), "Hant");
  EXPECT_STREQ(ScriptTag(0x0804), "Hans");
  EXPECT_STREQ(ScriptTag(0x0C04), "Hant");
  EXPECT_STREQ(ScriptTag(0x1004), "Hans");
  EXPECT_STREQ(ScriptTag(0x1404), "Hant");
  EXPECT_STREQ(ScriptTag(0x1804), "");
  EXPECT_STREQ(ScriptTag(0x7C04), "");
  // Same sublanguage bits under another primary language.
  EXPECT_STREQ(ScriptTag(0x0809), "");
  EXPECT_STREQ(ScriptTag(0x0C07), "");
}

TEST(SatelliteCandidates, ChineseSublanguageSixAndAboveSkipsTheScriptForms) {
  EXPECT_EQ(Tails(SatelliteCandidates(Lookup(0x1804, "zh", "XX", "ZHX", "CHS"))),
            (Names{"Pellwick_zh_XX.rsc", "Pellwick_zh-XX.rsc", "Pellwick_zh.rsc",
                   "Pellwick_ZHX.rsc", "Pellwick_CHS.rsc"}));
  EXPECT_EQ(Tails(SatelliteCandidates(Lookup(0x7C04, "zh", "HK", "ZHH", "CHS")))[0],
            "Pellwick_zh_HK.rsc");
}

TEST(SatelliteCandidates, NeutralPrimaryLanguageGivesNothing) {
  for (std::uint16_t language : {0x0000, 0x0400, 0x0800, 0x1400, 0xFC00}) {
    EXPECT_TRUE(IsNeutralUiLanguage(language)) << language;
    EXPECT_TRUE(SatelliteCandidates(Lookup(language, "en", "US", "ENU", "ENU")).empty())
        << language;
  }
  EXPECT_FALSE(IsNeutralUiLanguage(0x0009));
  EXPECT_FALSE(IsNeutralUiLanguage(0x03FF));
}

TEST(SatelliteCandidates, MissingValuesDropOnlyTheFormsThatNeedThem) {
  // No country: neither the country nor the dashed forms; the script form stays.
  EXPECT_EQ(Tails(SatelliteCandidates(Lookup(0x0804, "zh", "", "CHS", "CHS"))),
            (Names{"Pellwick_zh_Hans.rsc", "Pellwick_zh.rsc", "Pellwick_CHS.rsc",
                   "Pellwick_CHS.rsc"}));
  // No ISO language: a country alone or a script alone names nothing.
  EXPECT_EQ(Tails(SatelliteCandidates(Lookup(0x0804, "", "CN", "CHS", "CHS"))),
            (Names{"Pellwick_CHS.rsc", "Pellwick_CHS.rsc"}));
  // Only the primary language has an abbreviation.
  EXPECT_EQ(Tails(SatelliteCandidates(Lookup(0x3C09, "", "", "", "ENU"))),
            (Names{"Pellwick_ENU.rsc"}));
  EXPECT_TRUE(SatelliteCandidates(Lookup(0x0409, "", "", "", "")).empty());
}

TEST(SatelliteCandidates, DebugSuffixGoesBeforeTheExtensionOfEveryName) {
  SatelliteLookup lookup = Lookup(0x0804, "zh", "CN", "CHS", "CHS");
  lookup.debug_suffix = true;
  EXPECT_EQ(Tails(SatelliteCandidates(lookup)),
            (Names{"Pellwick_zh_Hans_CNd.rsc", "Pellwick_zh_Hansd.rsc", "Pellwick_zh_CNd.rsc",
                   "Pellwick_zh-CNd.rsc", "Pellwick_zhd.rsc", "Pellwick_CHSd.rsc",
                   "Pellwick_CHSd.rsc"}));
}

TEST(SatelliteCandidates, PathPartsAreTakenAsGivenAndNeverCut) {
  SatelliteLookup lookup = Lookup(0x0407, "de", "DE", "DEU", "DEU");
  lookup.drive = "";
  lookup.directory = "\\\\server\\share\\" + std::string(300, 'x') + "\\";
  lookup.base_name = "Quillon Page%s";  // a pattern character in a name stays text
  const Names names = SatelliteCandidates(lookup);
  ASSERT_EQ(names.size(), 5u);
  EXPECT_EQ(names[0], lookup.directory + "resdll\\Quillon Page%s_de_DE.rsc");
  EXPECT_EQ(names[4], lookup.directory + "resdll\\Quillon Page%s_DEU.rsc");
}

}  // namespace
