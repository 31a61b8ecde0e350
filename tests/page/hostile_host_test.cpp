// The page against a host that misbehaves in one method at a time: every
// host method in turn fails leaving its answer null, answers 64 MiB or broken
// UTF-16, drops the page's last reference, hands the page a null host,
// releases itself, or calls RefreshMRUs or DataBaseOpened back re-entrantly.
// Every case drives all page operations, checks that the host was never
// called once released and that counts, module locks and windows come back,
// then checks that a good host still fills the page.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "framework/com_ptr.h"
#include "common/mock_host.h"
#include "common/quarantine_allocator.h"
#include "common/fake_page_owner.h"
#include "page/page_fixture.h"
#include "resources/resource_ids.h"

namespace {

const char* const kGetters[] = {"GetQueryMRUs", "GetRecordMRUs", "GetCurrentDataBase",
                                "GetRecordTypes", "GetRegistryKey"};
const char* const kActions[] = {"ChangeDataBase", "SubmitRecord",    "ViewRecord",
                                "RunQuery",       "RemoveRecordMRU", "RemoveQueryMRU"};
const Misdeed kAllMisdeeds[] = {Misdeed::kFailLeavingNull, Misdeed::kHugeText,
                                Misdeed::kBrokenUtf16,     Misdeed::kDropPage,
                                Misdeed::kSetHostNull,     Misdeed::kReleaseItself,
                                Misdeed::kRefreshMRUs,     Misdeed::kDataBaseOpened};

using Case = std::tuple<std::string, Misdeed>;

std::vector<Case> Matrix() {
  std::vector<Case> cases;
  for (Misdeed misdeed : kAllMisdeeds) {
    for (const char* method : kGetters) cases.emplace_back(method, misdeed);
    if (IsTextMisdeed(misdeed)) continue;  // the actions answer no text
    for (const char* method : kActions) cases.emplace_back(method, misdeed);
  }
  return cases;
}

// The key a host naming its settings key in broken UTF-16 gets the page to
// create, removed after each test.
std::string BrokenKeyPath() {
  BSTR text = MakeBrokenUtf16Text();
  const int length = WideCharToMultiByte(CP_THREAD_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string path(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_THREAD_ACP, 0, text, -1, &path[0], length, nullptr, nullptr);
  SysFreeString(text);
  return path.c_str();
}

bool RootHoldsRecordTypes() {
  return RegQueryValueExA(HKEY_CURRENT_USER, "Last Record Types", nullptr, nullptr, nullptr,
                          nullptr) == ERROR_SUCCESS;
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  return std::get<0>(info.param) + "_" + MisdeedName(std::get<1>(info.param));
}

class HostileHostTest : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    windows_before_ = CountThreadWindows();
    key_path_ = "Software\\PellwickTests\\Hostile." + CaseName({GetParam(), 0}) + "." +
                std::to_string(GetCurrentProcessId());
    RegDeleteTreeA(HKEY_CURRENT_USER, key_path_.c_str());
    RegDeleteValueA(HKEY_CURRENT_USER, "Last Record Types");
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PellwickHostileParent";
    RegisterClassA(&windowClass);
    parent_ = CreateWindowExA(0, "PellwickHostileParent", "hostile", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              0, 0, 900, 600, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
    ASSERT_TRUE(NewPage());

    host_.current_database = "alpha";
    host_.record_types = "Defect\nTask";
    host_.record_mrus = "alpha\nh1\nh2\nBug 1\nCrash\n\nbeta\nh3\nh4\nBug 2\n\n\n";
    host_.query_mrus = "alpha\nOpen bugs\n\n\n\n\nbeta\nMine\n\n\n\n\n";
    host_.registry_key = key_path_;
    host_.armed_method = std::get<0>(GetParam());
    host_.misdeed = std::get<1>(GetParam());
    host_.drop_page = [this] { ReleasePage(); };
  }

  void TearDown() override {
    ReleasePage();
    if (parent_) DestroyWindow(parent_);
    EXPECT_EQ(CountThreadWindows(), windows_before_);
    EXPECT_EQ(FreedBlocksWrittenTo(), 0);
    RegDeleteTreeA(HKEY_CURRENT_USER, key_path_.c_str());
    RegDeleteTreeA(HKEY_CURRENT_USER, BrokenKeyPath().c_str());
  }

  bool NewPage() {
    const ComPtr<FakePageOwner> owner = FakePageOwner::New();
    advise_.reset(owner.get());
    if (FAILED(advise_.query(project_))) return false;
    window_ = owner->page.CreatePageWindow(parent_);
    if (window_) ShowWindow(window_, SW_SHOW);
    host_.advise = advise_.get();
    host_.project = project_.get();
    return window_ != nullptr;
  }

  void ReleasePage() {
    host_.advise = nullptr;
    host_.project = nullptr;
    window_ = nullptr;
    project_.reset();
    advise_.reset();
  }

  bool Alive() const { return advise_ && host_.count > 0; }
  HWND Item(int id) const { return GetDlgItem(window_, id); }

  // Runs `step` with the host handed over afresh (a misdeed may have taken
  // it away), unless the page or the host is gone by now.
  template <class Step>
  void WithHost(Step step) {
    if (!Alive()) return;
    const std::string armed = host_.armed_method;
    host_.armed_method.clear();
    IHpAdviseEvents* advise = advise_.get();
    advise->SetActivityHost(&host_);
    host_.armed_method = armed;
    if (Alive()) step();
  }

  void Select(int list, std::initializer_list<int> rows) {
    SendMessageA(Item(list), LB_SETSEL, FALSE, -1);
    for (int row : rows) SendMessageA(Item(list), LB_SETSEL, TRUE, row);
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(list, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(list)));
  }
  void Click(int button) {
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(button)));
  }

  // Every operation of the page that calls the host.
  void DriveEverything() {
    if (Alive()) advise_->SetActivityHost(&host_);
    WithHost([&] { project_->RefreshMRUs(); });
    WithHost([&] {
      BSTR name = MakeBstr("beta");
      project_->DataBaseOpened(name);
      SysFreeString(name);
    });
    WithHost([&] {
      BSTR type = nullptr;
      if (SUCCEEDED(project_->GetDefaultRecordType(&type))) SysFreeString(type);
    });
    WithHost([&] { project_->SubmitDefaultRecordType(); });
    WithHost([&] { project_->RunDefaultQuery(); });
    WithHost([&] { Click(IDC_CHANGE_DATABASE); });
    WithHost([&] { Click(IDC_GO); });
    WithHost([&] {
      Select(IDC_RECORDS_LIST, {0});
      Click(IDC_VIEW_RECORD);
    });
    WithHost([&] {
      Select(IDC_RECORDS_LIST, {0, 1});
      Click(IDC_REMOVE_RECORDS);
    });
    WithHost([&] {
      Select(IDC_QUERIES_LIST, {0});
      Click(IDC_RUN_QUERY);
    });
    WithHost([&] {
      Select(IDC_QUERIES_LIST, {0, 1});
      Click(IDC_REMOVE_QUERIES);
    });
    if (Alive()) advise_->SetActivityHost(nullptr);
  }

  std::vector<std::string> ComboItems() const {
    std::vector<std::string> items;
    const LRESULT count = SendMessageA(Item(IDC_RECORD_TYPES), CB_GETCOUNT, 0, 0);
    for (LRESULT item = 0; item < count; ++item) {
      char text[256] = {};
      SendMessageA(Item(IDC_RECORD_TYPES), CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text));
      items.push_back(text);
    }
    return items;
  }

  std::vector<std::string> ListRows(int list) const {
    std::vector<std::string> rows;
    const LRESULT count = SendMessageA(Item(list), LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row) {
      std::string text(static_cast<size_t>(SendMessageA(Item(list), LB_GETTEXTLEN, row, 0)) + 1,
                       '\0');
      SendMessageA(Item(list), LB_GETTEXT, row, reinterpret_cast<LPARAM>(&text[0]));
      rows.push_back(text.c_str());
    }
    return rows;
  }

  // A well-behaved host fills the page completely, and lets go again.
  void ExpectGoodHostWorks() {
    MockHost good;
    good.current_database = "gamma";
    good.record_types = "T1\nT2";
    good.record_mrus = "gamma\nh\nh\nLabel\nDetail\n\ndelta\nh\nh\nOther\n\n\n";
    good.query_mrus = "gamma\nQ1\n\n\n\n\n";
    good.registry_key = key_path_;
    ASSERT_EQ(advise_->SetActivityHost(&good), S_OK);
    char edit[64] = {};
    GetWindowTextA(Item(IDC_DATABASE_EDIT), edit, sizeof edit);
    EXPECT_STREQ(edit, "gamma");
    EXPECT_EQ(SendMessageA(Item(IDC_RECORD_TYPES), CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(ListRows(IDC_RECORDS_LIST), (std::vector<std::string>{"Label - Detail", "[delta] Other"}));
    EXPECT_EQ(ListRows(IDC_QUERIES_LIST), std::vector<std::string>{"Q1"});
    BSTR type = nullptr;
    ASSERT_EQ(project_->GetDefaultRecordType(&type), S_OK);
    EXPECT_EQ(LogText(type), "\"T1\"");
    SysFreeString(type);
    good.log.Clear();
    Select(IDC_RECORDS_LIST, {1});
    Click(IDC_VIEW_RECORD);
    EXPECT_TRUE(good.log.Matches({"ViewRecord(\"delta\", \"h\", \"h\", \"Other\", \"\")"}));
    EXPECT_EQ(advise_->SetActivityHost(nullptr), S_OK);
    EXPECT_EQ(good.count, 1);
  }

  MockHost host_;
  ComPtr<IHpAdviseEvents> advise_;
  ComPtr<IHvProjectList> project_;
  HWND parent_ = nullptr;
  HWND window_ = nullptr;
  std::string key_path_;
  int windows_before_ = 0;
};

TEST_P(HostileHostTest, PageSurvivesAndStillWorksWithAGoodHost) {
  const HWND page_window = window_;
  DriveEverything();
  EXPECT_GE(host_.misdeeds_done, 1) << "the armed method was never reached";
  // Settings go to the host's key or nowhere: a path the registry cannot
  // hold must not land in HKEY_CURRENT_USER itself.
  EXPECT_FALSE(RootHoldsRecordTypes());

  if (host_.misdeed == Misdeed::kReleaseItself) {
    EXPECT_EQ(host_.count, 0) << "AddRef " << host_.add_refs << ", Release " << host_.releases;
    host_.count = 1;  // the test's own reference again, for what follows
  }
  if (!advise_) {
    // The page went away inside a host call: it must have let go of the
    // host and its window. A new page then works.
    EXPECT_FALSE(IsWindow(page_window));
    ASSERT_TRUE(NewPage());
  }
  EXPECT_EQ(host_.count, 1) << "AddRef " << host_.add_refs << ", Release " << host_.releases;
  ExpectGoodHostWorks();
}

// A host that drops the page while it removes the first of two selected rows:
// the page still removes the second row and re-reads the list before it goes.
using PageDroppedDuringRemoval = HostileHostTest;

TEST_P(PageDroppedDuringRemoval, FinishesTheRemovalThenGoes) {
  const bool records = std::get<0>(GetParam()) == "RemoveRecordMRU";
  const int list = records ? IDC_RECORDS_LIST : IDC_QUERIES_LIST;
  const std::string armed = host_.armed_method;
  host_.armed_method.clear();
  ASSERT_EQ(advise_->SetActivityHost(&host_), S_OK);
  Select(list, {0, 1});
  const HWND page_window = window_;
  host_.log.Clear();
  host_.armed_method = armed;
  Click(records ? IDC_REMOVE_RECORDS : IDC_REMOVE_QUERIES);
  EXPECT_FALSE(advise_);
  if (records) {
    EXPECT_TRUE(host_.log.Matches(
        {"RemoveRecordMRU misbehaving",
         "RemoveRecordMRU(\"alpha\", \"h1\", \"h2\", \"Bug 1\", \"Crash\")",
         "RemoveRecordMRU misbehaving",
         "RemoveRecordMRU(\"beta\", \"h3\", \"h4\", \"Bug 2\", \"\")", "GetRecordMRUs(null)"}));
  } else {
    EXPECT_TRUE(host_.log.Matches({"RemoveQueryMRU misbehaving",
                                   "RemoveQueryMRU(\"alpha\", \"Open bugs\")",
                                   "RemoveQueryMRU misbehaving", "RemoveQueryMRU(\"beta\", \"Mine\")",
                                   "GetQueryMRUs(null)"}));
  }
  EXPECT_FALSE(IsWindow(page_window));
  EXPECT_EQ(host_.count, 1) << "AddRef " << host_.add_refs << ", Release " << host_.releases;
}

INSTANTIATE_TEST_SUITE_P(BothLists, PageDroppedDuringRemoval,
                         ::testing::Values(Case{"RemoveRecordMRU", Misdeed::kDropPage},
                                           Case{"RemoveQueryMRU", Misdeed::kDropPage}),
                         CaseName);

// Re-entrant calls from inside the refresh of the record types: when the
// outer refresh ends, combo box 1277 and the record types behind it agree.
using ReentrantRecordTypes = HostileHostTest;

TEST_P(ReentrantRecordTypes, ComboBoxMatchesTheRecordTypes) {
  ASSERT_EQ(advise_->SetActivityHost(&host_), S_OK);
  EXPECT_GE(host_.misdeeds_done, 1);
  HWND combo = Item(IDC_RECORD_TYPES);
  EXPECT_EQ(ComboItems(), (std::vector<std::string>{"Defect", "Task"}));
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
  // What the page holds is what a new window shows.
  auto* owner = static_cast<FakePageOwner*>(advise_.get());
  owner->page.DestroyPageWindow();
  window_ = owner->page.CreatePageWindow(parent_);
  EXPECT_EQ(ComboItems(), (std::vector<std::string>{"Defect", "Task"}));
  EXPECT_EQ(advise_->SetActivityHost(nullptr), S_OK);
}

INSTANTIATE_TEST_SUITE_P(
    DuringTheDataBaseRefresh, ReentrantRecordTypes,
    ::testing::Values(Case{"GetCurrentDataBase", Misdeed::kDataBaseOpened},
                      Case{"GetRecordTypes", Misdeed::kDataBaseOpened},
                      Case{"GetRegistryKey", Misdeed::kDataBaseOpened},
                      Case{"GetRecordTypes", Misdeed::kRefreshMRUs}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(EveryMethodEveryMisdeed, HostileHostTest, ::testing::ValuesIn(Matrix()),
                         CaseName);

}  // namespace
