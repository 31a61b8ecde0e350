// The version line as text. Text only, so this file also builds natively.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "server/version_line.h"

namespace {

// 68 characters with a one-digit day of the month, 69 with two.
TEST(VersionLine, IsTheTagPaddedTo33ThenVersionAndDate) {
  char buffer[128] = {};
  const int written = format_verid(buffer);
  const int expected = 45 + static_cast<int>(std::strlen(kVeridBuildDate));
  ASSERT_EQ(written, expected);
  ASSERT_EQ(std::strlen(buffer), static_cast<std::size_t>(expected));
  const std::string line(buffer);
  EXPECT_EQ(line.substr(0, 33), "Pellwick" + std::string(25, ' '));
  EXPECT_EQ(line.substr(33, 9), " 9.0.1.4 ");
  EXPECT_EQ(line.substr(42), "(" + std::string(kVeridBuildDate) + ")\n");
}

TEST(VersionLine, BuildDateHasTheFixedForm) {
  // "Mon Jul 9 17:29:50 2018": weekday, month, day without padding, time, year.
  char weekday[4] = {}, month[4] = {};
  int day = 0, hour = 0, minute = 0, second = 0, year = 0, consumed = 0;
  ASSERT_EQ(std::sscanf(kVeridBuildDate, "%3s %3s %d %2d:%2d:%2d %4d%n", weekday, month, &day,
                        &hour, &minute, &second, &year, &consumed),
            7);
  EXPECT_EQ(consumed, static_cast<int>(std::strlen(kVeridBuildDate)));
  EXPECT_NE(std::string("SunMonTueWedThuFriSat").find(weekday), std::string::npos);
  EXPECT_NE(std::string("JanFebMarAprMayJunJulAugSepOctNovDec").find(month), std::string::npos);
  EXPECT_NE(kVeridBuildDate[8], '0');  // no leading zero on the day
  EXPECT_NE(kVeridBuildDate[8], ' ');  // nor a blank
  EXPECT_GE(year, 2018);
}

TEST(VersionLine, NoticeEndsWithANullEntry) {
  const char* const* lines = VeridNoticeLines();
  int count = 0;
  while (lines[count]) ++count;
  EXPECT_GT(count, 0);
}

}  // namespace
