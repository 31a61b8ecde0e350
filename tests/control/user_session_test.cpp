// What a person and a host do over a session with the page: clicks and keys
// as the window manager delivers them, hosts that refresh inside their own
// calls, containers that deactivate the page and show it again.
#include "control/wired_fixture.h"

#include <algorithm>
#include <string>
#include <vector>

#include "resources/resource_ids.h"

namespace {

std::wstring WideText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

std::vector<std::wstring> ListRows(HWND list, UINT count_message = LB_GETCOUNT,
                                   UINT text_message = LB_GETTEXT) {
  std::vector<std::wstring> rows;
  const LRESULT count = SendMessageW(list, count_message, 0, 0);
  for (LRESULT row = 0; row < count; ++row) {
    wchar_t text[256] = {};
    SendMessageW(list, text_message, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text));
    rows.push_back(text);
  }
  return rows;
}

std::vector<std::wstring> ComboRows(HWND combo) {
  return ListRows(combo, CB_GETCOUNT, CB_GETLBTEXT);
}

// The messages a left click at the middle of `window`'s first line makes.
void ClickAt(HWND window, UINT message_down = WM_LBUTTONDOWN) {
  const LPARAM at = MAKELPARAM(6, 6);
  SendMessageW(window, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(GetAncestor(window, GA_ROOT)),
               MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
  SendMessageW(window, message_down, MK_LBUTTON, at);
  SendMessageW(window, WM_LBUTTONUP, 0, at);
}

class UserSessionTest : public WiredTest {
 protected:
  void SetUp() override {
    WiredTest::SetUp();
    ASSERT_EQ(Query<IPersistStreamInit>()->InitNew(), S_OK);
    ASSERT_EQ(Query<IOleObject>()->SetClientSite(container->site()), S_OK);
  }
  void TearDown() override {
    Query<IOleObject>()->Close(OLECLOSE_NOSAVE);
    Query<IOleObject>()->SetClientSite(nullptr);
    Query<IHpAdviseEvents>()->SetActivityHost(nullptr);
    EXPECT_EQ(host.count, 1);
    WiredTest::TearDown();
  }
  HWND Item(int id) { return GetDlgItem(Window(), id); }
  void HandOver() { ASSERT_EQ(Query<IHpAdviseEvents>()->SetActivityHost(&host), S_OK); }

  MockHost host;
};

// A button that the host's refresh disables under the user's click hands the
// keyboard to its list: the page keeps the focus, and the site hears nothing.
TEST_F(UserSessionTest, AButtonThatDisablesItselfKeepsTheKeyboardInThePage) {
  host.current_database = "db";
  host.record_mrus = MruText(1);
  host.query_mrus = MruText(1);
  // The host forgets the entry acted on, and refreshes inside the call.
  host.during = [this](const std::string& method) {
    if (method == "RemoveRecordMRU" || method == "ViewRecord") host.record_mrus = "";
    if (method == "RemoveQueryMRU") host.query_mrus = "";
    if (method == "ViewRecord") Query<IHvProjectList>()->RefreshMRUs();
  };
  ASSERT_EQ(Verb(OLEIVERB_UIACTIVATE), S_OK);
  struct Case {
    int list, button;
  } cases[] = {{IDC_QUERIES_LIST, IDC_REMOVE_QUERIES},
               {IDC_RECORDS_LIST, IDC_VIEW_RECORD},
               {IDC_RECORDS_LIST, IDC_REMOVE_RECORDS}};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.button);
    HandOver();
    ClickAt(Item(test.list));
    ASSERT_TRUE(IsWindowEnabled(Item(test.button)));
    container->log.Clear();
    ClickAt(Item(test.button));
    EXPECT_FALSE(IsWindowEnabled(Item(test.button)));
    EXPECT_EQ(GetFocus(), Item(test.list));
    for (const std::string& call : container->log.calls())
      EXPECT_EQ(call.find("OnFocus"), std::string::npos) << call;
    host.record_mrus = MruText(1);
    host.query_mrus = MruText(1);
  }
  // Tab still moves on inside the page, from the records list to the queries'.
  MSG tab = {};
  tab.hwnd = GetFocus();
  tab.message = WM_KEYDOWN;
  tab.wParam = VK_TAB;
  EXPECT_EQ(Query<IOleInPlaceActiveObject>()->TranslateAccelerator(&tab), S_OK);
  EXPECT_EQ(GetFocus(), Item(IDC_QUERIES_LIST));
}

// Each page window the control makes shows what the control holds, with no
// row selected and without asking the host: handed a host before the first
// activation, and shown again after an in-place deactivation.
TEST_F(UserSessionTest, APageShownAgainShowsWhatTheControlHolds) {
  host.current_database = "db";
  host.record_types = "Defect\nTask";
  host.record_mrus = MruText(2);
  host.query_mrus = "db\nopen\n\n\n\n\n";
  HandOver();
  host.log.Clear();
  for (int shown = 0; shown < 2; ++shown) {
    SCOPED_TRACE(shown);
    ASSERT_EQ(Verb(OLEIVERB_INPLACEACTIVATE), S_OK);
    EXPECT_EQ(WideText(Item(IDC_DATABASE_EDIT)), L"db");
    EXPECT_EQ(ComboRows(Item(IDC_RECORD_TYPES)), (std::vector<std::wstring>{L"Defect", L"Task"}));
    EXPECT_EQ(SendMessageW(Item(IDC_RECORD_TYPES), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(ListRows(Item(IDC_RECORDS_LIST)),
              (std::vector<std::wstring>{L"item 0", L"item 1"}));
    EXPECT_EQ(ListRows(Item(IDC_QUERIES_LIST)), std::vector<std::wstring>{L"open"});
    EXPECT_EQ(SendMessageW(Item(IDC_RECORDS_LIST), LB_GETSELCOUNT, 0, 0), 0);
    for (int button : {IDC_VIEW_RECORD, IDC_REMOVE_RECORDS, IDC_RUN_QUERY, IDC_REMOVE_QUERIES})
      EXPECT_FALSE(IsWindowEnabled(Item(button))) << button;
    EXPECT_TRUE(host.log.Matches({}));

    // What the user then does reaches the host with the held entries.
    ClickAt(Item(IDC_RECORDS_LIST));
    ClickAt(Item(IDC_VIEW_RECORD));
    ClickAt(Item(IDC_GO));
    EXPECT_TRUE(host.log.Matches({"ViewRecord(\"db\", \"h1\", \"h2\", \"item 0\", \"\")",
                                  "SubmitRecord(\"db\", \"Defect\")"}));
    ASSERT_EQ(Query<IOleInPlaceObject>()->InPlaceDeactivate(), S_OK);
    EXPECT_EQ(Window(), nullptr);
  }
}

// Keys offered by a Unicode container reach the page's lists as the
// characters they are: type-ahead finds rows in any script.
TEST_F(UserSessionTest, TypeAheadFindsRowsInAnyScript) {
  host.current_database = "db";
  host.record_mrus = std::string("db\nx\ny\nzebra\n\n\n") + "db\nx\ny\n\xD0\xB4\xD0\xBE\xD0\xBC\n\n\n" +
                     "db\nx\ny\n\xE6\x97\xA5\xE6\x9C\xAC\n\n\n" + "db\nx\ny\nalpha\n\n\n";
  HandOver();
  ASSERT_EQ(Verb(OLEIVERB_UIACTIVATE), S_OK);
  const HWND list = Item(IDC_RECORDS_LIST);
  SetFocus(list);
  struct Case {
    wchar_t key;
    LRESULT row;
  } cases[] = {{L'a', 3}, {0x0434 /* д */, 1}, {0x65E5 /* 日 */, 2}, {L'z', 0}};
  for (const Case& test : cases) {
    SCOPED_TRACE(static_cast<int>(test.key));
    MSG key = {};
    key.hwnd = list;
    key.message = WM_CHAR;
    key.wParam = test.key;
    key.lParam = 1;
    EXPECT_EQ(Query<IOleInPlaceActiveObject>()->TranslateAccelerator(&key), S_OK);
    EXPECT_EQ(SendMessageW(list, LB_GETCARETINDEX, 0, 0), test.row);
  }
}

// A container laying out its form keeps its own UI when the user clicks into
// the page; in user mode the same click UI-activates it.
TEST_F(UserSessionTest, AClickInDesignModeLeavesTheContainersUiAlone) {
  HandOver();
  container->user_mode = VARIANT_FALSE;
  SetFocus(container->own_field);
  ASSERT_EQ(Verb(OLEIVERB_INPLACEACTIVATE), S_OK);
  container->log.Clear();
  ClickAt(Item(IDC_RECORDS_LIST));
  EXPECT_EQ(GetFocus(), Item(IDC_RECORDS_LIST));
  for (const std::string& call : container->log.calls()) {
    EXPECT_EQ(call.find("OnUIActivate"), std::string::npos) << call;
    EXPECT_EQ(call.find("SetActiveObject"), std::string::npos) << call;
  }

  SetFocus(container->own_field);
  container->user_mode = VARIANT_TRUE;
  container->log.Clear();
  ClickAt(Item(IDC_RECORDS_LIST));
  const std::vector<std::string> calls = container->log.calls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "Site.OnUIActivate()"), calls.end());
}

}  // namespace
