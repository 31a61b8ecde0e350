// The starting extent: dialog 104 of the built DLL measured on this screen,
// with the expectation worked out here through the same GDI calls, and the
// default when there is nothing to measure.
#include "control/initial_extent.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/test_paths.h"
#include "framework/handles.h"
#include "resources/resource_ids.h"

namespace {

struct Expected {
  LONG cx, cy;
};

// Character size from the base units the dialog manager falls back on.
void BaseUnits(int& width, int& height) {
  const LONG units = GetDialogBaseUnits();
  width = LOWORD(units);
  height = HIWORD(units);
}

Expected ToHimetric(int dialog_cx, int dialog_cy, int char_width, int char_height) {
  WindowDc screen(nullptr);
  const int pixels_x = MulDiv(dialog_cx, char_width, 4);
  const int pixels_y = MulDiv(dialog_cy, char_height, 8);
  return {MulDiv(2540, pixels_x, GetDeviceCaps(screen.get(), LOGPIXELSX)),
          MulDiv(2540, pixels_y, GetDeviceCaps(screen.get(), LOGPIXELSY))};
}

// Average character of a font as the dialog manager defines it, measured on
// the screen.
void FontUnits(const std::wstring& face, int point_size, int& width, int& height) {
  WindowDc screen(nullptr);
  ASSERT_TRUE(screen);
  LOGFONTW font_description = {};
  font_description.lfHeight = -MulDiv(point_size, GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
  font_description.lfWeight = FW_NORMAL;
  font_description.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(font_description.lfFaceName, face.c_str(), LF_FACESIZE);
  FontHandle font(CreateFontIndirectW(&font_description));
  ASSERT_TRUE(font);
  SelectedObject selected(screen.get(), font.get());
  TEXTMETRICW metrics = {};
  ASSERT_TRUE(GetTextMetricsW(screen.get(), &metrics));
  SIZE letters = {};
  ASSERT_TRUE(GetTextExtentPoint32W(
      screen.get(), L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters));
  width = (letters.cx + 26) / 52;
  height = metrics.tmHeight + metrics.tmExternalLeading;
}

TEST(InitialExtent, PageDialogOfTheBuiltDll) {
  ModuleHandle dll(LoadLibraryExA(PellwickDllPath().c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  ASSERT_TRUE(dll);
  HRSRC found = FindResource(dll.get(), MAKEINTRESOURCE(IDD_ACTIVITY_PAGE), RT_DIALOG);
  ASSERT_NE(found, nullptr);
  const void* bytes = LockResource(LoadResource(dll.get(), found));
  DialogTemplate dialog;
  ASSERT_TRUE(ReadDialogTemplate(bytes, SizeofResource(dll.get(), found), dialog));
  ASSERT_TRUE(dialog.has_font);
  EXPECT_EQ(dialog.cx, 398);
  EXPECT_EQ(dialog.cy, 237);

  int width = 0, height = 0;
  FontUnits(std::wstring(dialog.face.begin(), dialog.face.end()), dialog.point_size, width, height);
  const Expected expected = ToHimetric(398, 237, width, height);
  const SIZEL extent = InitialExtent(dll.get(), IDD_ACTIVITY_PAGE);
  EXPECT_EQ(extent.cx, expected.cx);
  EXPECT_EQ(extent.cy, expected.cy);
  // A page of about 10 cm by 6 cm, whatever the font metrics come to.
  EXPECT_GT(extent.cx, 5000);
  EXPECT_GT(extent.cy, 3000);
}

TEST(InitialExtent, DefaultWithoutTheTemplate) {
  // The test program carries no dialog resources.
  for (const WORD id : {WORD(IDD_ACTIVITY_PAGE), WORD(1)}) {
    const SIZEL extent = InitialExtent(GetModuleHandleA(nullptr), id);
    EXPECT_EQ(extent.cx, 5080);
    EXPECT_EQ(extent.cy, 5080);
  }
  // A library without that dialog.
  const SIZEL extent = InitialExtent(GetModuleHandleA("kernel32.dll"), IDD_ACTIVITY_PAGE);
  EXPECT_EQ(extent.cx, 5080);
  EXPECT_EQ(extent.cy, 5080);
}

TEST(InitialExtent, TemplateWithoutFontUsesDialogBaseUnits) {
  DialogTemplate dialog;
  dialog.cx = 200;
  dialog.cy = 100;
  int width = 0, height = 0;
  BaseUnits(width, height);
  const Expected expected = ToHimetric(200, 100, width, height);
  const SIZEL extent = DialogExtent(dialog);
  EXPECT_EQ(extent.cx, expected.cx);
  EXPECT_EQ(extent.cy, expected.cy);
}

}  // namespace
