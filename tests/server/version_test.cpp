#include <gtest/gtest.h>

#include "common/test_paths.h"
#include "framework/handles.h"

namespace {

TEST(PrintVerid, ExportedUndecoratedAndPrintsTheLine) {
  ModuleHandle dll(LoadLibraryA(PellwickDllPath().c_str()));
  ASSERT_TRUE(dll) << GetLastError();
  using PrintVerid = int (*)();
  auto print = reinterpret_cast<PrintVerid>(
      reinterpret_cast<void*>(GetProcAddress(dll.get(), "Pellwick_print_verid")));
  ASSERT_NE(print, nullptr);
  // The DLL's own link date: a one- or two-digit day.
  const int printed = print();
  EXPECT_TRUE(printed == 68 || printed == 69) << printed;
}

}  // namespace
