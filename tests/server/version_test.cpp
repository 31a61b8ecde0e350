// The version line as a caller of the DLL's export gets it on standard output.
#include <gtest/gtest.h>

#include <io.h>

#include <cstdio>
#include <string>

#include "common/test_paths.h"
#include "framework/handles.h"

namespace {

using PrintVerid = int (*)();

// What `print` writes to standard output, which the DLL shares with this
// program through the C runtime.
std::string Printed(PrintVerid print, int& returned) {
  std::fflush(stdout);
  std::FILE* file = std::tmpfile();
  const int saved = _dup(1);
  if (!file || saved < 0 || _dup2(_fileno(file), 1) != 0) {
    ADD_FAILURE() << "standard output cannot be caught";
    return "";
  }
  returned = print();
  std::fflush(stdout);
  _dup2(saved, 1);
  _close(saved);
  std::string text;
  std::rewind(file);
  for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
  std::fclose(file);
  return text;
}

// The module's name padded to 33 columns, its four-part version and, in
// parentheses, the date the DLL was linked: "Mon Jul 9 17:29:50 2018", the
// day without padding.
TEST(PrintVerid, ExportedUndecoratedAndPrintsTheLine) {
  const std::string path = PellwickDllPath();
  ModuleHandle dll(LoadLibraryA(path.c_str()));
  ASSERT_TRUE(dll) << GetLastError();
  auto print = reinterpret_cast<PrintVerid>(
      reinterpret_cast<void*>(GetProcAddress(dll.get(), "Pellwick_print_verid")));
  ASSERT_NE(print, nullptr);
  int returned = -1;
  const std::string line = Printed(print, returned);
  EXPECT_EQ(returned, static_cast<int>(line.size()));

  const size_t name_at = path.find_last_of("\\/") + 1;
  const std::string name = path.substr(name_at, path.rfind('.') - name_at);
  ASSERT_GT(line.size(), 33u) << line;
  EXPECT_EQ(line.substr(0, 33), name + std::string(33 - name.size(), ' '));

  unsigned version[4] = {};
  char weekday[4] = {}, month[4] = {};
  int day = 0, hour = 0, minute = 0, second = 0, year = 0, date_at = 0, consumed = 0;
  ASSERT_EQ(std::sscanf(line.c_str() + 33, " %u.%u.%u.%u (%n%3s %3s %d %2d:%2d:%2d %4d)\n%n",
                        &version[0], &version[1], &version[2], &version[3], &date_at, weekday,
                        month, &day, &hour, &minute, &second, &year, &consumed),
            11)
      << line;
  EXPECT_EQ(33 + consumed, static_cast<int>(line.size())) << line;
  EXPECT_EQ(line.back(), '\n');
  EXPECT_EQ(line[33], ' ');
  EXPECT_NE(std::string("SunMonTueWedThuFriSat").find(weekday), std::string::npos) << line;
  EXPECT_NE(std::string("JanFebMarAprMayJunJulAugSepOctNovDec").find(month), std::string::npos)
      << line;
  const char day_first = line[33 + date_at + 8];
  EXPECT_TRUE(day_first >= '1' && day_first <= '9') << "no leading zero or blank: " << line;
  EXPECT_GE(year, 2018);
  // 68 characters with a one-digit day of the month, 69 with two.
  EXPECT_EQ(line.size(), day < 10 ? 68u : 69u) << line;
}

}  // namespace
