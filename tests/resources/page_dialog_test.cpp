// Dialog 104 and the string table, read back from the built DLL and from the
// German satellite.
#include <gtest/gtest.h>

#include <cstring>
#include <cwctype>
#include <set>
#include <string>

#include "common/thread_windows.h"
#include "built_module.h"
#include "common/test_paths.h"
#include "framework/dialog_template.h"
#include "resources/resource_ids.h"

namespace {

constexpr std::uint16_t kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kListBox = 0x83,
                        kComboBox = 0x85;

struct ExpectedItem {
  int id;
  std::uint16_t window_class;
  std::uint32_t style;
  std::int16_t x, y, cx, cy;
  const char16_t* english;
  const char16_t* german;
};

// The page in tab order.
const ExpectedItem kItems[16] = {
    {-1, kStatic, 0x50020002, 7, 10, 141, 9, u"Current Orvelt Database:",
     u"Aktuelle Orvelt-Datenbank:"},
    {209, kEdit, 0x58810080, 150, 8, 97, 13, u"", u""},
    {202, kButton, 0x50010000, 253, 7, 58, 14, u"&Change", u"&Wechseln"},
    {210, kButton, 0x50000007, 7, 26, 385, 204, u"", u""},
    {-1, kStatic, 0x50020002, 14, 44, 146, 8, u"Create Recor&d:", u"Datensatz &erstellen:"},
    {1277, kComboBox, 0x50210003, 163, 42, 66, 68, u"", u""},
    {208, kButton, 0x50010000, 234, 41, 41, 14, u"&Go", u"&Los"},
    {-1, kStatic, 0x50000010, 119, 63, 135, 1, u"", u""},
    {-1, kStatic, 0x50020000, 14, 75, 294, 8, u"Recently viewed &records:",
     u"Zuletzt angesehene &Datens\u00E4tze:"},
    {203, kListBox, 0x50A10901, 13, 85, 294, 61, u"", u""},
    {204, kButton, 0x58010000, 311, 85, 75, 14, u"&View Record", u"Datensatz &anzeigen"},
    {211, kButton, 0x58010000, 311, 102, 75, 14, u"R&emove", u"E&ntfernen"},
    {-1, kStatic, 0x50020000, 14, 151, 293, 8, u"Recently viewed &queries:",
     u"Zuletzt angesehene Ab&fragen:"},
    {207, kListBox, 0x50A10901, 13, 161, 295, 62, u"", u""},
    {205, kButton, 0x58010000, 311, 161, 75, 14, u"R&un Query", u"Abfrage &starten"},
    {212, kButton, 0x58010000, 311, 178, 75, 14, u"Re&move", u"En&tfernen"},
};

bool ReadPageTemplate(HMODULE module, WORD language, DialogTemplate& dialog) {
  std::string bytes;
  return ResourceBytes(module, MAKEINTRESOURCEW(5) /* RT_DIALOG */, IDD_ACTIVITY_PAGE, language,
                       bytes) &&
         ReadDialogTemplate(bytes.data(), bytes.size(), dialog);
}

void ExpectPageHeader(const DialogTemplate& dialog) {
  EXPECT_TRUE(dialog.extended);
  EXPECT_EQ(dialog.style, 0x40000048u);
  EXPECT_EQ(dialog.ex_style, 0x00010200u);
  EXPECT_EQ(dialog.help_id, 0u);
  EXPECT_EQ(dialog.x, 0);
  EXPECT_EQ(dialog.y, 0);
  EXPECT_EQ(dialog.cx, 398);
  EXPECT_EQ(dialog.cy, 237);
  EXPECT_TRUE(!dialog.menu.is_ordinal && dialog.menu.text.empty());
  EXPECT_TRUE(!dialog.window_class.is_ordinal && dialog.window_class.text.empty());
  EXPECT_TRUE(dialog.title.empty());
  EXPECT_TRUE(dialog.has_font);
  EXPECT_EQ(dialog.face, u"MS Shell Dlg");
  EXPECT_EQ(dialog.point_size, 9);
  EXPECT_EQ(dialog.weight, 0);
  EXPECT_FALSE(dialog.italic);
  EXPECT_EQ(dialog.charset, 1);
}

void ExpectPageItems(const DialogTemplate& dialog, bool german) {
  ASSERT_EQ(dialog.items.size(), 16u);
  for (int i = 0; i < 16; ++i) {
    SCOPED_TRACE("item " + std::to_string(i + 1));
    const ExpectedItem& want = kItems[i];
    const DialogItemTemplate& item = dialog.items[i];
    EXPECT_EQ(static_cast<std::int32_t>(item.id), want.id);
    EXPECT_TRUE(item.window_class.is_ordinal);
    EXPECT_EQ(item.window_class.ordinal, want.window_class);
    EXPECT_EQ(item.style, want.style);
    EXPECT_EQ(item.ex_style, 0u);
    EXPECT_EQ(item.help_id, 0u);
    EXPECT_EQ(item.x, want.x);
    EXPECT_EQ(item.y, want.y);
    EXPECT_EQ(item.cx, want.cx);
    EXPECT_EQ(item.cy, want.cy);
    EXPECT_FALSE(item.text.is_ordinal);
    EXPECT_EQ(item.text.text, german ? want.german : want.english);
    EXPECT_TRUE(item.creation_data.empty());
  }
}

// The letters after '&' in the dialog's texts, lower-cased, in item order.
std::u16string Mnemonics(const DialogTemplate& dialog) {
  std::u16string letters;
  for (const DialogItemTemplate& item : dialog.items) {
    const std::u16string& text = item.text.text;
    for (std::size_t at = text.find(u'&'); at != std::u16string::npos && at + 1 < text.size();
         at = text.find(u'&', at + 2)) {
      letters.push_back(static_cast<char16_t>(std::towlower(text[at + 1])));
    }
  }
  return letters;
}

// One string of a string-table block: 16 counted UTF-16 strings in a row.
bool StringFromBlock(const std::string& block, int index, std::u16string& text) {
  std::size_t offset = 0;
  for (int i = 0;; ++i) {
    if (offset + 2 > block.size()) return false;
    std::uint16_t length = 0;
    memcpy(&length, block.data() + offset, 2);
    offset += 2;
    if (offset + length * 2u > block.size()) return false;
    if (i == index) {
      text.assign(reinterpret_cast<const char16_t*>(block.data() + offset), length);
      return true;
    }
    offset += length * 2u;
  }
}

bool TableString(HMODULE module, WORD language, int id, std::u16string& text) {
  std::string block;
  return ResourceBytes(module, MAKEINTRESOURCEW(6) /* RT_STRING */,
                       static_cast<WORD>(id / 16 + 1), language, block) &&
         StringFromBlock(block, id % 16, text);
}

class PageResources : public ::testing::Test {
 protected:
  void SetUp() override {
    dll_ = LoadResourcesOnly(PellwickDllPath());
    ASSERT_TRUE(dll_) << "Pellwick.dll: " << GetLastError();
    satellite_ = LoadResourcesOnly(SatellitePath());
    ASSERT_TRUE(satellite_) << "Pellwick_de.rsc: " << GetLastError();
  }

  ModuleHandle dll_;
  ModuleHandle satellite_;
};

TEST_F(PageResources, EnglishDialogMatchesThePageTable) {
  DialogTemplate dialog;
  ASSERT_TRUE(ReadPageTemplate(dll_.get(), kEnglishUs, dialog));
  ExpectPageHeader(dialog);
  ExpectPageItems(dialog, false);
  EXPECT_EQ(Mnemonics(dialog), u"cdgrvequm");
}

TEST_F(PageResources, GermanDialogKeepsLayoutAndTranslatesTexts) {
  DialogTemplate dialog;
  ASSERT_TRUE(ReadPageTemplate(satellite_.get(), kGerman, dialog));
  ExpectPageHeader(dialog);
  ExpectPageItems(dialog, true);

  // Every caption that has a mnemonic keeps exactly one, and none is shared.
  const std::u16string letters = Mnemonics(dialog);
  EXPECT_EQ(letters.size(), 9u);
  EXPECT_EQ(std::set<char16_t>(letters.begin(), letters.end()).size(), letters.size())
      << "German mnemonics repeat";
}

TEST_F(PageResources, EachModuleHoldsOnlyItsOwnLanguage) {
  DialogTemplate dialog;
  EXPECT_FALSE(ReadPageTemplate(dll_.get(), kGerman, dialog));
  EXPECT_FALSE(ReadPageTemplate(satellite_.get(), kEnglishUs, dialog));
  std::u16string text;
  EXPECT_FALSE(TableString(satellite_.get(), kEnglishUs, IDS_PROJNAME, text));
  EXPECT_FALSE(TableString(dll_.get(), kGerman, IDS_PROJNAME, text));
}

TEST_F(PageResources, StringTablesInBothLanguages) {
  std::u16string text;
  ASSERT_TRUE(TableString(dll_.get(), kEnglishUs, IDS_PROJNAME, text));
  EXPECT_EQ(text, u"Pellwick");
  ASSERT_TRUE(TableString(dll_.get(), kEnglishUs, IDS_DEFAULT_RECORD_TYPE, text));
  EXPECT_EQ(text, u"Default Change Request");
  ASSERT_TRUE(TableString(satellite_.get(), kGerman, IDS_PROJNAME, text));
  EXPECT_EQ(text, u"Pellwick");  // the product's name stays
  ASSERT_TRUE(TableString(satellite_.get(), kGerman, IDS_DEFAULT_RECORD_TYPE, text));
  EXPECT_EQ(text, u"Standard-\u00C4nderungsanforderung");

  // The platform's loader finds the same strings.
  wchar_t buffer[64] = {};
  EXPECT_EQ(LoadStringW(dll_.get(), IDS_DEFAULT_RECORD_TYPE, buffer, 64), 22);
  EXPECT_STREQ(buffer, L"Default Change Request");
  EXPECT_EQ(LoadStringW(satellite_.get(), IDS_DEFAULT_RECORD_TYPE, buffer, 64), 29);
  EXPECT_STREQ(buffer, L"Standard-\u00C4nderungsanforderung");
}

INT_PTR CALLBACK PassiveDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The dialog manager builds from each template exactly the controls that the
// reader sees: same order, ids, classes and texts.
TEST_F(PageResources, DialogManagerAgreesWithTheReader) {
  const int windows_before = CountThreadWindows();
  for (HMODULE module : {dll_.get(), satellite_.get()}) {
    const WORD language = module == dll_.get() ? kEnglishUs : kGerman;
    SCOPED_TRACE(language == kGerman ? "German" : "English");
    std::string bytes;
    ASSERT_TRUE(ResourceBytes(module, MAKEINTRESOURCEW(5), IDD_ACTIVITY_PAGE, language, bytes));
    DialogTemplate dialog;
    ASSERT_TRUE(ReadDialogTemplate(bytes.data(), bytes.size(), dialog));

    HWND parent = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 800, 600, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    struct DestroyOnExit {
      HWND window;
      ~DestroyOnExit() { DestroyWindow(window); }
    } parent_owner{parent};
    HWND page = CreateDialogIndirectParamW(
        nullptr, reinterpret_cast<const DLGTEMPLATE*>(bytes.data()), parent,
        PassiveDialogProc, 0);
    ASSERT_NE(page, nullptr) << GetLastError();

    static const wchar_t* const kClassNames[] = {L"Button", L"Edit", L"Static", L"ListBox",
                                                 L"ScrollBar", L"ComboBox"};
    HWND child = GetWindow(page, GW_CHILD);
    for (const DialogItemTemplate& item : dialog.items) {
      ASSERT_NE(child, nullptr);
      ASSERT_TRUE(item.window_class.is_ordinal && item.window_class.ordinal >= 0x80 &&
                  item.window_class.ordinal <= 0x85);
      EXPECT_EQ(GetDlgCtrlID(child), static_cast<int>(item.id));
      wchar_t class_name[32] = {};
      GetClassNameW(child, class_name, 32);
      EXPECT_EQ(lstrcmpiW(class_name, kClassNames[item.window_class.ordinal - 0x80]), 0)
          << "class of control " << static_cast<int>(item.id);
      wchar_t text[64] = {};
      GetWindowTextW(child, text, 64);
      EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(text)), item.text.text);
      child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr) << "more controls than template items";
    DestroyWindow(parent);
    EXPECT_FALSE(IsWindow(page));
    parent_owner.window = nullptr;
  }
  EXPECT_EQ(CountThreadWindows(), windows_before);
}

}  // namespace
