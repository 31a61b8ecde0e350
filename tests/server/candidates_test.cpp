// The ordered candidate names for each kind of UI language, from given values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "server/satellite_names.h"

namespace {

using Names = std::vector<std::wstring>;

SatelliteLookup Lookup(std::uint16_t language, const wchar_t* iso_language, const wchar_t* iso_country,
                       const wchar_t* abbreviated, const wchar_t* abbreviated_primary) {
  SatelliteLookup lookup;
  lookup.ui_language = language;
  lookup.drive = L"C:";
  lookup.directory = L"\\Program Files\\Halvern\\";
  lookup.base_name = L"Pellwick";
  lookup.iso_language = iso_language;
  lookup.iso_country = iso_country;
  lookup.abbreviated_language = abbreviated;
  lookup.abbreviated_primary = abbreviated_primary;
  return lookup;
}

// The candidate names without the common "C:\Program Files\Halvern\resdll\" head.
Names Tails(const Names& names) {
  const std::wstring head = L"C:\\Program Files\\Halvern\\resdll\\";
  Names tails;
  for (const std::wstring& name : names) {
    EXPECT_EQ(name.compare(0, head.size(), head), 0) << name;
    tails.push_back(name.substr(head.size()));
  }
  return tails;
}

TEST(SatelliteCandidates, WesternLanguagesTryCountryThenLanguageThenAbbreviations) {
  EXPECT_EQ(Tails(SatelliteCandidates(Lookup(0x0409, L"en", L"US", L"ENU", L"ENU"))),
            (Names{L"Pellwick_en_US.rsc", L"Pellwick_en-US.rsc", L"Pellwick_en.rsc",
                   L"Pellwick_ENU.rsc", L"Pellwick_ENU.rsc"}));
  EXPECT_EQ(Tails(SatelliteCandidates(Lookup(0x0407, L"de", L"DE", L"DEU", L"DEU"))),
            (Names{L"Pellwick_de_DE.rsc", L"Pellwick_de-DE.rsc", L"Pellwick_de.rsc",
                   L"Pellwick_DEU.rsc", L"Pellwick_DEU.rsc"}));
  // Portuguese (Portugal): the primary language alone abbreviates differently.
  EXPECT_EQ(Tails(SatelliteCandidates(Lookup(0x0816, L"pt", L"PT", L"PTG", L"PTB"))),
            (Names{L"Pellwick_pt_PT.rsc", L"Pellwick_pt-PT.rsc", L"Pellwick_pt.rsc",
                   L"Pellwick_PTG.rsc", L"Pellwick_PTB.rsc"}));
}

TEST(SatelliteCandidates, ChineseSublanguagesOneToFiveAddTheirScriptFirst) {
  EXPECT_EQ(Tails(SatelliteCandidates(Lookup(0x0804, L"zh", L"CN", L"CHS", L"CHS"))),
            (Names{L"Pellwick_zh_Hans_CN.rsc", L"Pellwick_zh_Hans.rsc", L"Pellwick_zh_CN.rsc",
                   L"Pellwick_zh-CN.rsc", L"Pellwick_zh.rsc", L"Pellwick_CHS.rsc",
                   L"Pellwick_CHS.rsc"}));
  EXPECT_EQ(Tails(SatelliteCandidates(Lookup(0x0C04, L"zh", L"HK", L"ZHH", L"CHS"))),
            (Names{L"Pellwick_zh_Hant_HK.rsc", L"Pellwick_zh_Hant.rsc", L"Pellwick_zh_HK.rsc",
                   L"Pellwick_zh-HK.rsc", L"Pellwick_zh.rsc", L"Pellwick_ZHH.rsc",
                   L"Pellwick_CHS.rsc"}));
  EXPECT_EQ(Tails(SatelliteCandidates(Lookup(0x1404, L"zh", L"MO", L"ZHM", L"CHS")))[0],
            L"Pellwick_zh_Hant_MO.rsc");
}

TEST(SatelliteCandidates, ScriptFollowsTheChineseSublanguageOnly) {
  EXPECT_STREQ(ScriptTag(0x0004), L"");
  EXPECT_STREQ(ScriptTag(0x0404), L"Hant");
  EXPECT_STREQ(ScriptTag(0x0804), L"Hans");
  EXPECT_STREQ(ScriptTag(0x0C04), L"Hant");
  EXPECT_STREQ(ScriptTag(0x1004), L"Hans");
  EXPECT_STREQ(ScriptTag(0x1404), L"Hant");
  EXPECT_STREQ(ScriptTag(0x1804), L"");
  EXPECT_STREQ(ScriptTag(0x7C04), L"");
  // Same sublanguage bits under another primary language.
  EXPECT_STREQ(ScriptTag(0x0809), L"");
  EXPECT_STREQ(ScriptTag(0x0C07), L"");
}

TEST(SatelliteCandidates, ChineseSublanguageSixAndAboveSkipsTheScriptForms) {
  EXPECT_EQ(Tails(SatelliteCandidates(Lookup(0x1804, L"zh", L"XX", L"ZHX", L"CHS"))),
            (Names{L"Pellwick_zh_XX.rsc", L"Pellwick_zh-XX.rsc", L"Pellwick_zh.rsc",
                   L"Pellwick_ZHX.rsc", L"Pellwick_CHS.rsc"}));
  EXPECT_EQ(Tails(SatelliteCandidates(Lookup(0x7C04, L"zh", L"HK", L"ZHH", L"CHS")))[0],
            L"Pellwick_zh_HK.rsc");
}

TEST(SatelliteCandidates, NeutralPrimaryLanguageGivesNothing) {
  for (std::uint16_t language : {0x0000, 0x0400, 0x0800, 0x1400, 0xFC00}) {
    EXPECT_TRUE(IsNeutralUiLanguage(language)) << language;
    EXPECT_TRUE(SatelliteCandidates(Lookup(language, L"en", L"US", L"ENU", L"ENU")).empty())
        << language;
  }
  EXPECT_FALSE(IsNeutralUiLanguage(0x0009));
  EXPECT_FALSE(IsNeutralUiLanguage(0x03FF));
}

TEST(SatelliteCandidates, MissingValuesDropOnlyTheFormsThatNeedThem) {
  // No country: neither the country nor the dashed forms; the script form stays.
  EXPECT_EQ(Tails(SatelliteCandidates(Lookup(0x0804, L"zh", L"", L"CHS", L"CHS"))),
            (Names{L"Pellwick_zh_Hans.rsc", L"Pellwick_zh.rsc", L"Pellwick_CHS.rsc",
                   L"Pellwick_CHS.rsc"}));
  // No ISO language: a country alone or a script alone names nothing.
  EXPECT_EQ(Tails(SatelliteCandidates(Lookup(0x0804, L"", L"CN", L"CHS", L"CHS"))),
            (Names{L"Pellwick_CHS.rsc", L"Pellwick_CHS.rsc"}));
  // Only the primary language has an abbreviation.
  EXPECT_EQ(Tails(SatelliteCandidates(Lookup(0x3C09, L"", L"", L"", L"ENU"))),
            (Names{L"Pellwick_ENU.rsc"}));
  EXPECT_TRUE(SatelliteCandidates(Lookup(0x0409, L"", L"", L"", L"")).empty());
}

TEST(SatelliteCandidates, DebugSuffixGoesBeforeTheExtensionOfEveryName) {
  SatelliteLookup lookup = Lookup(0x0804, L"zh", L"CN", L"CHS", L"CHS");
  lookup.debug_suffix = true;
  EXPECT_EQ(Tails(SatelliteCandidates(lookup)),
            (Names{L"Pellwick_zh_Hans_CNd.rsc", L"Pellwick_zh_Hansd.rsc", L"Pellwick_zh_CNd.rsc",
                   L"Pellwick_zh-CNd.rsc", L"Pellwick_zhd.rsc", L"Pellwick_CHSd.rsc",
                   L"Pellwick_CHSd.rsc"}));
}

TEST(SatelliteCandidates, PathPartsAreTakenAsGivenAndNeverCut) {
  SatelliteLookup lookup = Lookup(0x0407, L"de", L"DE", L"DEU", L"DEU");
  lookup.drive = L"";
  lookup.directory = L"\\\\server\\share\\" + std::wstring(300, L'x') + L"\\";
  lookup.base_name = L"Quillon Page%s \x043F\x0430\x043F\x043A\x0430";  // pattern characters, Cyrillic
  const Names names = SatelliteCandidates(lookup);
  ASSERT_EQ(names.size(), 5u);
  EXPECT_EQ(names[0], lookup.directory + L"resdll\\" + lookup.base_name + L"_de_DE.rsc");
  EXPECT_EQ(names[4], lookup.directory + L"resdll\\" + lookup.base_name + L"_DEU.rsc");
}

}  // namespace
