// Dialog 104 and the string table, read back from the built DLL and from the
// German satellite: what the code embedding the page relies on, and what a
// user of either language sees and needs of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/thread_windows.h"
#include "built_module.h"
#include "common/test_paths.h"
#include "framework/dialog_template.h"
#include "resources/resource_ids.h"

namespace {

bool ReadPageTemplate(HMODULE module, WORD language, DialogTemplate& dialog) {
  std::string bytes;
  return ResourceBytes(module, MAKEINTRESOURCEW(5) /* RT_DIALOG */, IDD_ACTIVITY_PAGE, language,
                       bytes) &&
         ReadDialogTemplate(bytes.data(), bytes.size(), dialog);
}

INT_PTR CALLBACK PassiveDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Dialog 104 of one module as the dialog manager builds it, under a hidden
// popup parent; both windows go with this object.
class BuiltPage {
 public:
  BuiltPage(HMODULE module, WORD language) {
    if (!ResourceBytes(module, MAKEINTRESOURCEW(5), IDD_ACTIVITY_PAGE, language, bytes_)) return;
    parent_ = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr,
                              nullptr, nullptr);
    if (!parent_) return;
    page_ = CreateDialogIndirectParamW(nullptr,
                                       reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()),
                                       parent_, PassiveDialogProc, 0);
  }
  ~BuiltPage() {
    if (parent_) DestroyWindow(parent_);
  }
  BuiltPage(const BuiltPage&) = delete;
  BuiltPage& operator=(const BuiltPage&) = delete;

  HWND page() const { return page_; }
  const std::string& bytes() const { return bytes_; }

  // The page's direct children in child (tab) order.
  std::vector<HWND> Children() const {
    std::vector<HWND> children;
    for (HWND child = GetWindow(page_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      children.push_back(child);
    return children;
  }

 private:
  std::string bytes_;
  HWND parent_ = nullptr;
  HWND page_ = nullptr;
};

// What the page's code does with each control it looks up decides what kind
// of control that must be.
enum class Kind {
  kDisplay,       // text the page sets and the user only reads
  kPushButton,    // the page acts on BN_CLICKED
  kFrame,         // the page moves and sizes it around the lists
  kPickList,      // the page fills it and reads the pick, nothing typed
  kMultiSelect,   // the page acts on LBN_SELCHANGE/LBN_DBLCLK, reads LB_GETSELITEMS
};

struct UsedControl {
  int id;
  const wchar_t* window_class;
  Kind kind;
  bool acts_on_a_selection;  // disabled until a row is selected
};

const UsedControl kUsedControls[] = {
    {IDC_DATABASE_EDIT, L"Edit", Kind::kDisplay, false},
    {IDC_CHANGE_DATABASE, L"Button", Kind::kPushButton, false},
    {IDC_GROUP_BOX, L"Button", Kind::kFrame, false},
    {IDC_RECORD_TYPES, L"ComboBox", Kind::kPickList, false},
    {IDC_GO, L"Button", Kind::kPushButton, false},
    {IDC_RECORDS_LIST, L"ListBox", Kind::kMultiSelect, false},
    {IDC_VIEW_RECORD, L"Button", Kind::kPushButton, true},
    {IDC_REMOVE_RECORDS, L"Button", Kind::kPushButton, true},
    {IDC_QUERIES_LIST, L"ListBox", Kind::kMultiSelect, false},
    {IDC_RUN_QUERY, L"Button", Kind::kPushButton, true},
    {IDC_REMOVE_QUERIES, L"Button", Kind::kPushButton, true},
};

bool Works(const UsedControl& used) {
  return used.kind == Kind::kPushButton || used.kind == Kind::kPickList ||
         used.kind == Kind::kMultiSelect;
}

LONG StyleOf(HWND window) { return GetWindowLongW(window, GWL_STYLE); }

std::wstring ClassOf(HWND window) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  return name;
}

std::wstring TextOf(HWND window) {
  wchar_t text[128] = {};
  GetWindowTextW(window, text, 128);
  return text;
}

// The letter after the single '&' of a caption, lower-cased; 0 when none.
wchar_t MnemonicOf(const std::wstring& text) {
  for (std::size_t at = text.find(L'&'); at != std::wstring::npos && at + 1 < text.size();
       at = text.find(L'&', at + 2)) {
    if (text[at + 1] != L'&') return static_cast<wchar_t>(std::towlower(text[at + 1]));
  }
  return 0;
}

// The child's window rectangle in the page's client coordinates.
RECT PlaceOf(HWND page, HWND child) {
  RECT place = {};
  GetWindowRect(child, &place);
  MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&place), 2);
  return place;
}

// Whether `module` has the string-table block holding `id` in `language`.
bool HasStringBlock(HMODULE module, WORD language, int id) {
  return FindResourceExW(module, MAKEINTRESOURCEW(6) /* RT_STRING */,
                         MAKEINTRESOURCEW(id / 16 + 1), language) != nullptr;
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

// The embedding code relies on the header: a hidden child the control shows
// when placed, that Tab enters from the container, and whose size in this
// font is the extent a new control starts with. The satellite must build the
// same controls in the same places, only with translated texts; its page may
// be wider, for the longer captions, never narrower.
TEST_F(PageResources, EmbeddableChildDialogOfTheSameLayoutInBothLanguages) {
  DialogTemplate english, german;
  ASSERT_TRUE(ReadPageTemplate(dll_.get(), kEnglishUs, english));
  ASSERT_TRUE(ReadPageTemplate(satellite_.get(), kGerman, german));
  for (const DialogTemplate* dialog : {&english, &german}) {
    SCOPED_TRACE(dialog == &german ? "German" : "English");
    EXPECT_EQ(dialog->style & (WS_CHILD | WS_POPUP | WS_CAPTION | WS_VISIBLE),
              static_cast<std::uint32_t>(WS_CHILD));
    EXPECT_TRUE(dialog->ex_style & WS_EX_CONTROLPARENT);
    EXPECT_TRUE(!dialog->menu.is_ordinal && dialog->menu.text.empty());
    EXPECT_TRUE(!dialog->window_class.is_ordinal && dialog->window_class.text.empty());
    EXPECT_TRUE(dialog->title.empty());
    EXPECT_EQ(dialog->x, 0);
    EXPECT_EQ(dialog->y, 0);
    EXPECT_GE(dialog->cx, 398);
    EXPECT_EQ(dialog->cy, 237);
    EXPECT_TRUE(dialog->has_font);
    EXPECT_EQ(dialog->face, u"MS Shell Dlg");
    EXPECT_EQ(dialog->point_size, 9);
  }
  EXPECT_EQ(english.cx, 398);
  ASSERT_EQ(german.items.size(), english.items.size());
  for (std::size_t i = 0; i < english.items.size(); ++i) {
    SCOPED_TRACE("item " + std::to_string(i + 1));
    const DialogItemTemplate& want = english.items[i];
    const DialogItemTemplate& item = german.items[i];
    EXPECT_EQ(item.id, want.id);
    EXPECT_EQ(item.window_class.is_ordinal, want.window_class.is_ordinal);
    EXPECT_EQ(item.window_class.ordinal, want.window_class.ordinal);
    EXPECT_EQ(item.style, want.style);
    EXPECT_EQ(item.ex_style, want.ex_style);
    EXPECT_TRUE(item.x == want.x && item.y == want.y && item.cx == want.cx && item.cy == want.cy);
    EXPECT_EQ(item.text.text.empty(), want.text.text.empty()) << "a caption lost or added";
  }
}

TEST_F(PageResources, EveryControlThePageUsesIsAChildOfTheRightKind) {
  const int windows_before = CountThreadWindows();
  for (const auto& [module, language] : {std::pair(dll_.get(), kEnglishUs),
                                         std::pair(satellite_.get(), kGerman)}) {
    SCOPED_TRACE(language == kGerman ? "German" : "English");
    BuiltPage built(module, language);
    ASSERT_NE(built.page(), nullptr) << GetLastError();
    const std::vector<HWND> children = built.Children();
    for (const UsedControl& used : kUsedControls) {
      SCOPED_TRACE("control " + std::to_string(used.id));
      int found = 0;
      for (HWND child : children) found += GetDlgCtrlID(child) == used.id;
      ASSERT_EQ(found, 1) << "the page looks it up by its id";
      HWND control = GetDlgItem(built.page(), used.id);
      EXPECT_EQ(GetParent(control), built.page());
      EXPECT_EQ(lstrcmpiW(ClassOf(control).c_str(), used.window_class), 0);
      const LONG style = StyleOf(control);
      EXPECT_TRUE(style & WS_VISIBLE);
      switch (used.kind) {
        case Kind::kDisplay:
          EXPECT_TRUE(!IsWindowEnabled(control) || (style & ES_READONLY)) << "typed into";
          break;
        case Kind::kPushButton:
          EXPECT_TRUE((style & BS_TYPEMASK) == BS_PUSHBUTTON ||
                      (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
          EXPECT_FALSE(TextOf(control).empty()) << "a button says what it does";
          break;
        case Kind::kFrame:
          EXPECT_EQ(style & BS_TYPEMASK, BS_GROUPBOX);
          break;
        case Kind::kPickList:
          EXPECT_EQ(style & 3, CBS_DROPDOWNLIST);
          break;
        case Kind::kMultiSelect:
          EXPECT_TRUE(style & LBS_NOTIFY) << "selection changes must reach the page";
          EXPECT_NE(SendMessageW(control, LB_GETSELCOUNT, 0, 0), LB_ERR)
              << "only a multiple-selection list counts its selection";
          break;
      }
      if (Works(used)) {
        EXPECT_EQ(IsWindowEnabled(control) == FALSE, used.acts_on_a_selection)
            << "nothing is selected yet";
      }
    }
  }
  EXPECT_EQ(CountThreadWindows(), windows_before);
}

TEST_F(PageResources, TabReachesEveryWorkingControlOnce) {
  for (const auto& [module, language] : {std::pair(dll_.get(), kEnglishUs),
                                         std::pair(satellite_.get(), kGerman)}) {
    SCOPED_TRACE(language == kGerman ? "German" : "English");
    BuiltPage built(module, language);
    ASSERT_NE(built.page(), nullptr) << GetLastError();
    // As with a row selected in each list: every button then works.
    std::set<HWND> working;
    for (const UsedControl& used : kUsedControls) {
      HWND control = GetDlgItem(built.page(), used.id);
      if (used.acts_on_a_selection) EnableWindow(control, TRUE);
      if (Works(used)) working.insert(control);
    }
    std::vector<HWND> visited;
    HWND first = GetNextDlgTabItem(built.page(), nullptr, FALSE);
    ASSERT_NE(first, nullptr) << "no tab stop at all";
    HWND at = first;
    do {
      visited.push_back(at);
      at = GetNextDlgTabItem(built.page(), at, FALSE);
    } while (at && at != first && visited.size() <= built.Children().size());
    EXPECT_EQ(at, first) << "Tab does not come round";
    EXPECT_EQ(std::set<HWND>(visited.begin(), visited.end()).size(), visited.size());
    for (HWND control : working)
      EXPECT_NE(std::find(visited.begin(), visited.end(), control), visited.end())
          << "Tab never reaches control " << GetDlgCtrlID(control);
  }
}

// Alt and a letter must lead somewhere useful: each letter once per page, on
// every button, and on a label right before each list and the pick list.
TEST_F(PageResources, MnemonicsAreUniqueAndEachLeadsToAWorkingControl) {
  for (const auto& [module, language] : {std::pair(dll_.get(), kEnglishUs),
                                         std::pair(satellite_.get(), kGerman)}) {
    SCOPED_TRACE(language == kGerman ? "German" : "English");
    BuiltPage built(module, language);
    ASSERT_NE(built.page(), nullptr) << GetLastError();
    std::multiset<wchar_t> letters;
    for (HWND child : built.Children()) {
      const wchar_t letter = MnemonicOf(TextOf(child));
      if (letter) letters.insert(letter);
    }
    for (wchar_t letter : std::set<wchar_t>(letters.begin(), letters.end()))
      EXPECT_EQ(letters.count(letter), 1u) << "Alt+" << static_cast<char>(letter) << " repeats";

    for (const UsedControl& used : kUsedControls) {
      if (!Works(used)) continue;
      SCOPED_TRACE("control " + std::to_string(used.id));
      HWND control = GetDlgItem(built.page(), used.id);
      if (used.kind == Kind::kPushButton) {
        EXPECT_NE(MnemonicOf(TextOf(control)), 0) << "button without a mnemonic";
        continue;
      }
      // A label's mnemonic moves the focus to the control after it.
      HWND label = GetWindow(control, GW_HWNDPREV);
      ASSERT_NE(label, nullptr);
      EXPECT_EQ(lstrcmpiW(ClassOf(label).c_str(), L"Static"), 0);
      EXPECT_NE(MnemonicOf(TextOf(label)), 0) << "no letter leads to it";
    }
  }
}

// What the user sees: no control covers another, and none is cut off by the
// page's edge. A frame only surrounds: whatever touches it lies wholly inside.
TEST_F(PageResources, ControlsNeitherOverlapNorLeaveThePage) {
  for (const auto& [module, language] : {std::pair(dll_.get(), kEnglishUs),
                                         std::pair(satellite_.get(), kGerman)}) {
    SCOPED_TRACE(language == kGerman ? "German" : "English");
    BuiltPage built(module, language);
    ASSERT_NE(built.page(), nullptr) << GetLastError();
    RECT page = {};
    GetClientRect(built.page(), &page);
    const std::vector<HWND> children = built.Children();
    auto is_frame = [](HWND child) {
      return lstrcmpiW(ClassOf(child).c_str(), L"Button") == 0 &&
             (StyleOf(child) & BS_TYPEMASK) == BS_GROUPBOX;
    };
    for (std::size_t i = 0; i < children.size(); ++i) {
      const RECT a = PlaceOf(built.page(), children[i]);
      SCOPED_TRACE("child " + std::to_string(i + 1) + " (id " +
                   std::to_string(GetDlgCtrlID(children[i])) + ")");
      EXPECT_TRUE(a.left >= page.left && a.top >= page.top && a.right <= page.right &&
                  a.bottom <= page.bottom)
          << "outside the page";
      for (std::size_t j = i + 1; j < children.size(); ++j) {
        const RECT b = PlaceOf(built.page(), children[j]);
        RECT common = {};
        if (!IntersectRect(&common, &a, &b)) continue;
        const bool a_frame = is_frame(children[i]), b_frame = is_frame(children[j]);
        const RECT& inner = a_frame ? b : a;
        if (a_frame != b_frame) {
          EXPECT_TRUE(EqualRect(&common, &inner))
              << "child " << j + 1 << " straddles a frame's edge";
        } else {
          ADD_FAILURE() << "overlaps child " << j + 1 << " (id "
                        << GetDlgCtrlID(children[j]) << ")";
        }
      }
    }
  }
}

TEST_F(PageResources, EachModuleHoldsOnlyItsOwnLanguage) {
  DialogTemplate dialog;
  EXPECT_FALSE(ReadPageTemplate(dll_.get(), kGerman, dialog));
  EXPECT_FALSE(ReadPageTemplate(satellite_.get(), kEnglishUs, dialog));
  EXPECT_TRUE(HasStringBlock(dll_.get(), kEnglishUs, IDS_PROJNAME));
  EXPECT_FALSE(HasStringBlock(dll_.get(), kGerman, IDS_PROJNAME));
  EXPECT_TRUE(HasStringBlock(satellite_.get(), kGerman, IDS_PROJNAME));
  EXPECT_FALSE(HasStringBlock(satellite_.get(), kEnglishUs, IDS_PROJNAME));
}

TEST_F(PageResources, StringTablesInBothLanguages) {
  wchar_t buffer[64] = {};
  EXPECT_EQ(LoadStringW(dll_.get(), IDS_PROJNAME, buffer, 64), 8);
  EXPECT_STREQ(buffer, L"Pellwick");
  EXPECT_EQ(LoadStringW(satellite_.get(), IDS_PROJNAME, buffer, 64), 8);
  EXPECT_STREQ(buffer, L"Pellwick");  // the product's name stays
  EXPECT_EQ(LoadStringW(dll_.get(), IDS_DEFAULT_RECORD_TYPE, buffer, 64), 22);
  EXPECT_STREQ(buffer, L"Default Change Request");
  EXPECT_EQ(LoadStringW(satellite_.get(), IDS_DEFAULT_RECORD_TYPE, buffer, 64), 29);
  EXPECT_STREQ(buffer, L"Standard-\u00C4nderungsanforderung");
}

// The dialog manager builds from each template exactly the controls that the
// reader sees: same order, ids, classes and texts.
TEST_F(PageResources, DialogManagerAgreesWithTheReader) {
  const int windows_before = CountThreadWindows();
  for (const auto& [module, language] : {std::pair(dll_.get(), kEnglishUs),
                                         std::pair(satellite_.get(), kGerman)}) {
    SCOPED_TRACE(language == kGerman ? "German" : "English");
    BuiltPage built(module, language);
    ASSERT_NE(built.page(), nullptr) << GetLastError();
    DialogTemplate dialog;
    ASSERT_TRUE(ReadDialogTemplate(built.bytes().data(), built.bytes().size(), dialog));

    static const wchar_t* const kClassNames[] = {L"Button", L"Edit", L"Static", L"ListBox",
                                                 L"ScrollBar", L"ComboBox"};
    const std::vector<HWND> children = built.Children();
    ASSERT_EQ(children.size(), dialog.items.size());
    for (std::size_t i = 0; i < children.size(); ++i) {
      const DialogItemTemplate& item = dialog.items[i];
      ASSERT_TRUE(item.window_class.is_ordinal && item.window_class.ordinal >= 0x80 &&
                  item.window_class.ordinal <= 0x85);
      EXPECT_EQ(GetDlgCtrlID(children[i]), static_cast<int>(item.id));
      EXPECT_EQ(lstrcmpiW(ClassOf(children[i]).c_str(),
                          kClassNames[item.window_class.ordinal - 0x80]),
                0)
          << "class of control " << static_cast<int>(item.id);
      const std::wstring text = TextOf(children[i]);
      EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(text.c_str())),
                item.text.text);
    }
  }
  EXPECT_EQ(CountThreadWindows(), windows_before);
}

}  // namespace
