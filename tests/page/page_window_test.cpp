// The page dialog: creation, initial layout and enabled states, the message
// dispatch, and the window handles' lifetime.
#include "page/page_fixture.h"

#include "framework/dialog_window.h"

namespace {
RECT ClientRect(HWND child) {
  RECT rect = {};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// What the page's own layout computes, through the same calls.
LONG CaptionWidth(HWND window, HWND button) {
  char text[256] = {};
  const int length = GetWindowTextA(button, text, sizeof text);
  HDC dc = GetDC(window);
  SIZE size = {};
  GetTextExtentPoint32A(dc, text, length, &size);
  ReleaseDC(window, dc);
  return size.cx;
}

// The template's rectangle of a control, in pixels of this dialog; position
// and size are converted apart, as the dialog manager does.
RECT TemplateRect(HWND window, int x, int y, int cx, int cy) {
  RECT origin = {x, y, cx, cy};
  MapDialogRect(window, &origin);
  return RECT{origin.left, origin.top, origin.left + origin.right, origin.top + origin.bottom};
}
}  // namespace

using PageWindowTest = PageTest;

TEST_F(PageWindowTest, CreatedAsAShownChildWithItsControlsEmpty) {
  EXPECT_EQ(GetParent(window), parent);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & WS_CHILD, WS_CHILD);
  EXPECT_EQ(page->window(), window);
  EXPECT_NE(GetForegroundWindow(), window);

  EXPECT_FALSE(Enabled(IDC_DATABASE_EDIT));
  for (int id : {IDC_VIEW_RECORD, IDC_RUN_QUERY, IDC_REMOVE_RECORDS, IDC_REMOVE_QUERIES})
    EXPECT_FALSE(Enabled(id)) << id;
  for (int id : {IDC_CHANGE_DATABASE, IDC_GO, IDC_RECORD_TYPES, IDC_RECORDS_LIST,
                 IDC_QUERIES_LIST})
    EXPECT_TRUE(Enabled(id)) << id;
  EXPECT_EQ(Text(IDC_DATABASE_EDIT), "");
  EXPECT_EQ(SendMessageA(Item(IDC_RECORD_TYPES), CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(SendMessageA(Item(IDC_RECORDS_LIST), LB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(SendMessageA(Item(IDC_QUERIES_LIST), LB_GETCOUNT, 0, 0), 0);
  EXPECT_TRUE(host.log.Matches({}));

  // One page window at a time.
  EXPECT_EQ(page->CreatePageWindow(parent), nullptr);
}

TEST_F(PageWindowTest, ListButtonsFormAColumnSizedToTheLongestCaption) {
  // "&View Record" is the longest of the four captions.
  const LONG width = CaptionWidth(window, Item(IDC_VIEW_RECORD));
  const RECT list = ClientRect(Item(IDC_RECORDS_LIST));
  const RECT queries = ClientRect(Item(IDC_QUERIES_LIST));
  ASSERT_NE(list.right, queries.right) << "the two lists end at different places";

  const struct { int id, y, cy; } buttons[] = {{IDC_VIEW_RECORD, 85, 14},
                                               {IDC_REMOVE_RECORDS, 102, 14},
                                               {IDC_RUN_QUERY, 161, 14},
                                               {IDC_REMOVE_QUERIES, 178, 14}};
  for (const auto& button : buttons) {
    const RECT rect = ClientRect(Item(button.id));
    const RECT original = TemplateRect(window, 311, button.y, 75, button.cy);
    EXPECT_EQ(rect.left, list.right + 4) << button.id;
    EXPECT_EQ(rect.right - rect.left, width + 8) << button.id;
    EXPECT_EQ(rect.top, original.top) << button.id;
    EXPECT_EQ(rect.bottom - rect.top, original.bottom - original.top) << button.id;
  }

  const RECT group = ClientRect(Item(IDC_GROUP_BOX));
  const RECT groupTemplate = TemplateRect(window, 7, 26, 385, 204);
  EXPECT_EQ(group.left, groupTemplate.left);
  EXPECT_EQ(group.top, groupTemplate.top);
  EXPECT_EQ(group.bottom - group.top, groupTemplate.bottom - groupTemplate.top);
  EXPECT_EQ(group.right - group.left, (list.right - list.left) + width + 32);

  for (const auto& button : {std::make_pair(IDC_CHANGE_DATABASE, TemplateRect(window, 253, 7, 58, 14)),
                             std::make_pair(IDC_GO, TemplateRect(window, 234, 41, 41, 14))}) {
    const RECT rect = ClientRect(Item(button.first));
    EXPECT_EQ(rect.left, button.second.left);
    EXPECT_EQ(rect.top, button.second.top);
    EXPECT_EQ(rect.right - rect.left, CaptionWidth(window, Item(button.first)) + 8);
  }
}

// A caption that becomes the longest, or ties: the earlier button in the
// order 204, 205, 211, 212 is measured. The layout is rerun on a page whose
// captions were changed before WM_INITDIALOG reaches the page.
TEST_F(PageWindowTest, LongestCaptionOrder) {
  SetWindowTextA(Item(IDC_VIEW_RECORD), "ab");
  SetWindowTextA(Item(IDC_RUN_QUERY), "WWWW");
  SetWindowTextA(Item(IDC_REMOVE_RECORDS), "iiii");
  SetWindowTextA(Item(IDC_REMOVE_QUERIES), "iiiiii");
  LRESULT result = 0;
  ASSERT_TRUE(page->ProcessWindowMessage(window, WM_INITDIALOG, 0, 0, result, 0));
  EXPECT_EQ(result, FALSE) << "the dialog manager must not focus the hidden page";
  EXPECT_EQ(ClientRect(Item(IDC_GO)).right - ClientRect(Item(IDC_GO)).left,
            CaptionWidth(window, Item(IDC_GO)) + 8);
  const LONG longest = CaptionWidth(window, Item(IDC_REMOVE_QUERIES));
  RECT rect = ClientRect(Item(IDC_VIEW_RECORD));
  EXPECT_EQ(rect.right - rect.left, longest + 8);

  SetWindowTextA(Item(IDC_REMOVE_QUERIES), "iiii");
  ASSERT_TRUE(page->ProcessWindowMessage(window, WM_INITDIALOG, 0, 0, result, 0));
  const LONG tie = CaptionWidth(window, Item(IDC_RUN_QUERY));
  ASSERT_NE(tie, CaptionWidth(window, Item(IDC_REMOVE_RECORDS)));
  rect = ClientRect(Item(IDC_REMOVE_QUERIES));
  EXPECT_EQ(rect.right - rect.left, tie + 8) << "205's WWWW, not 211's iiii";
}

TEST_F(PageWindowTest, Dispatch) {
  host.current_database = "alpha";
  HandOver();
  host.log.Clear();
  LRESULT result = 7;
  // Alternate maps are never handled, not even the page's own rows.
  EXPECT_FALSE(page->ProcessWindowMessage(window, WM_COMMAND, MAKEWPARAM(IDC_CHANGE_DATABASE, 0),
                                          0, result, 1));
  EXPECT_FALSE(page->ProcessWindowMessage(window, WM_INITDIALOG, 0, 0, result, 2));
  EXPECT_TRUE(host.log.Matches({}));
  // Other notifications of the same controls, and other messages, go on.
  EXPECT_FALSE(page->ProcessWindowMessage(
      window, WM_COMMAND, MAKEWPARAM(IDC_CHANGE_DATABASE, BN_SETFOCUS), 0, result, 0));
  EXPECT_FALSE(page->ProcessWindowMessage(
      window, WM_COMMAND, MAKEWPARAM(IDC_RECORDS_LIST, LBN_KILLFOCUS), 0, result, 0));
  EXPECT_FALSE(page->ProcessWindowMessage(
      window, WM_COMMAND, MAKEWPARAM(IDC_RECORD_TYPES, CBN_SELCHANGE), 0, result, 0));
  EXPECT_FALSE(page->ProcessWindowMessage(window, WM_SIZE, 0, 0, result, 0));
  EXPECT_EQ(result, 7);
  EXPECT_TRUE(host.log.Matches({}));

  EXPECT_TRUE(page->ProcessWindowMessage(window, WM_COMMAND, MAKEWPARAM(IDC_CHANGE_DATABASE, 0),
                                         0, result, 0));
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(host.log.Matches({"ChangeDataBase()"}));
  // Through the real window, from a real click.
  Click(IDC_CHANGE_DATABASE);
  EXPECT_TRUE(host.log.Matches({"ChangeDataBase()"}));
  EXPECT_EQ(SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_CHANGE_DATABASE, 0), 0), 0);
  EXPECT_TRUE(host.log.Matches({"ChangeDataBase()"}));
}

TEST_F(PageWindowTest, DestroyedWindowLeavesNoHandleInUse) {
  host.current_database = "alpha";
  host.record_types = "Defect";
  host.record_mrus = "alpha\nx\ny\nitem\n\n\n";
  HandOver();
  HWND list = Item(IDC_RECORDS_LIST);
  page->DestroyPageWindow();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(page->window(), nullptr);
  host.log.Clear();

  // Refreshes without a window keep the entries and make the same host calls.
  host.record_mrus = "alpha\nx\ny\nitem\n\n\nalpha\nx\ny\nsecond\n\n\n";
  EXPECT_EQ(project->RefreshMRUs(), S_OK);
  EXPECT_TRUE(host.log.Matches({"GetRecordMRUs(null)", "GetQueryMRUs(null)"}));
  EXPECT_FALSE(IsWindow(list));

  // A new window shows what the page holds, without asking the host.
  host.log.Clear();
  window = page->CreatePageWindow(parent);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(host.log.Matches({}));
  EXPECT_EQ(Rows(IDC_RECORDS_LIST), (std::vector<std::string>{"item", "second"}));
  EXPECT_EQ(Text(IDC_DATABASE_EDIT), "alpha");
  EXPECT_EQ(ComboItems(), std::vector<std::string>{"Defect"});
}

TEST_F(PageWindowTest, ReleasingThePageDestroysItsWindow) {
  HandOver();
  project.reset();
  advise.reset();
  page = nullptr;
  EXPECT_FALSE(IsWindow(window));
}

namespace {
// A dialog whose embedded-control step fails, like a template naming a
// control that cannot be created.
class FailingDialog : public DialogWindow {
 public:
  ~FailingDialog() = default;
  int messages = 0;

 protected:
  BOOL ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&, DWORD) noexcept override {
    ++messages;
    return FALSE;
  }
  HRESULT CreateEmbeddedControls() noexcept override { return E_ACCESSDENIED; }
};
}  // namespace

TEST(DialogWindowTest, FailedEmbeddedControlsDestroyTheWindow) {
  HWND parent = CreateWindowExA(0, "Static", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(parent, nullptr);
  const int windows = CountThreadWindows();
  FailingDialog dialog;
  SetLastError(0);
  EXPECT_EQ(dialog.Create(GetModuleHandleA(nullptr), IDD_ACTIVITY_PAGE, parent), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(E_ACCESSDENIED));
  EXPECT_EQ(dialog.window(), nullptr);
  EXPECT_EQ(CountThreadWindows(), windows);
  EXPECT_GT(dialog.messages, 0);

  // A missing template: no window, nothing bound.
  EXPECT_EQ(dialog.Create(GetModuleHandleA(nullptr), 999, parent), nullptr);
  EXPECT_EQ(dialog.window(), nullptr);
  DestroyWindow(parent);
}
