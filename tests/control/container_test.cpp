// The DLL's control driven by the recording container: exact activation and
// deactivation sequences, the page window it makes, the focus crossing its
// edge, Close, and both orders of SetClientSite and InitNew.
#include "control/wired_fixture.h"

#include <algorithm>

#include "resources/resource_ids.h"

namespace {

std::string WindowContext() {
  return "Site.GetWindowContext(" + std::to_string(sizeof(OLEINPLACEFRAMEINFO)) + ")";
}

// What the site hears when the page is UI-activated and the focus enters it.
std::vector<std::string> UiActivationCalls() {
  return {"Site.GetWindow()",
          WindowContext(),
          "Site.OnUIActivate()",
          "Site.OnFocus(1)",
          "Frame.SetActiveObject(active, null)",
          "UIWindow.SetActiveObject(active, null)",
          "Frame.SetBorderSpace(null)",
          "UIWindow.SetBorderSpace(null)",
          "Site.ShowObject()"};
}

LRESULT Count(HWND list) { return SendMessageA(list, LB_GETCOUNT, 0, 0); }

TEST_F(WiredTest, ActivatesDeactivatesAndReactivatesWithAFreshPage) {
  ComPtr<IOleObject> object = Query<IOleObject>();
  ASSERT_EQ(Query<IPersistStreamInit>()->InitNew(), S_OK);
  ASSERT_EQ(object->SetClientSite(container->site()), S_OK);
  HWND window = nullptr;
  EXPECT_EQ(Query<IOleInPlaceObject>()->GetWindow(&window), E_UNEXPECTED);

  ASSERT_EQ(Verb(OLEIVERB_INPLACEACTIVATE), S_OK);
  EXPECT_TRUE(container->log.Matches({
      "Site.OnInPlaceActivateEx(ptr, 0x0)",
      "Site.GetWindow()",
      WindowContext(),
      "Site.Invoke(-701)",
      "Site.ShowObject()",
  }));
  window = Window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(GetParent(window), container->window);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(Children(window).size(), 16u);
  RECT placed = {};
  GetWindowRect(window, &placed);
  MapWindowPoints(nullptr, container->window, reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_TRUE(EqualRect(&placed, &container->position));
  EXPECT_NE(DialogBrush(window), nullptr) << "the ambient BackColor gives a brush";

  // The host fills the page; the page's initialisation left View Record off.
  MockHost host;
  host.record_mrus = MruText(3);
  host.query_mrus = MruText(2);
  ASSERT_EQ(Query<IHpAdviseEvents>()->SetActivityHost(&host), S_OK);
  EXPECT_EQ(Count(GetDlgItem(window, IDC_RECORDS_LIST)), 3);
  EXPECT_EQ(Count(GetDlgItem(window, IDC_QUERIES_LIST)), 2);
  SendMessageA(GetDlgItem(window, IDC_RECORDS_LIST), LB_SETSEL, TRUE, 0);
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_RECORDS_LIST, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_RECORDS_LIST)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_VIEW_RECORD)));

  // UI activation brings the focus in, to the first child.
  ASSERT_EQ(Verb(OLEIVERB_UIACTIVATE), S_OK);
  EXPECT_TRUE(container->log.Matches(UiActivationCalls()));
  EXPECT_EQ(GetFocus(), Children(window).front());

  // The records list is remembered as it loses the focus, and focusing the
  // page returns to it.
  const HWND records = GetDlgItem(window, IDC_RECORDS_LIST);
  SetFocus(records);
  SetFocus(container->window);
  SetFocus(window);
  EXPECT_TRUE(container->log.Matches({"Site.OnFocus(0)", "Site.OnFocus(1)"}));
  EXPECT_EQ(GetFocus(), records);

  // UI deactivation forgets it: focusing the page UI-activates it again and
  // goes to the first child.
  SetFocus(container->window);
  ASSERT_EQ(Query<IOleInPlaceObject>()->UIDeactivate(), S_OK);
  EXPECT_TRUE(container->log.Matches({
      "Site.OnFocus(0)",
      "UIWindow.SetActiveObject(null, null)",
      "Frame.SetActiveObject(null, null)",
      "Site.OnUIDeactivate(0)",
  }));
  SetFocus(window);
  EXPECT_TRUE(container->log.Matches({
      "Site.Invoke(-709)",
      "Site.GetWindow()",
      WindowContext(),
      "Site.OnUIActivate()",
      "Frame.SetActiveObject(active, null)",
      "UIWindow.SetActiveObject(active, null)",
      "Frame.SetBorderSpace(null)",
      "UIWindow.SetBorderSpace(null)",
      "Site.ShowObject()",
      "Site.OnFocus(1)",
  }));
  EXPECT_EQ(GetFocus(), Children(window).front());

  // Deactivated with the keyboard inside: the keyboard goes back to the
  // container first, and the site hears it leave.
  ASSERT_EQ(Query<IOleInPlaceObject>()->InPlaceDeactivate(), S_OK);
  EXPECT_EQ(GetFocus(), container->window);
  EXPECT_TRUE(container->log.Matches({
      "Site.OnFocus(0)",
      "UIWindow.SetActiveObject(null, null)",
      "Frame.SetActiveObject(null, null)",
      "Site.OnUIDeactivate(0)",
      "Site.OnInPlaceDeactivate()",
  }));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(Query<IOleInPlaceActiveObject>()->GetWindow(&window), E_UNEXPECTED);
  EXPECT_EQ(container->frame.refs.count, 1);
  EXPECT_EQ(container->ui_window.refs.count, 1);

  // Reactivated: a new page showing the held entries, none selected;
  // nothing remembered from the old window.
  ASSERT_EQ(Verb(OLEIVERB_UIACTIVATE), S_OK);
  window = Window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(Count(GetDlgItem(window, IDC_RECORDS_LIST)), 3);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_VIEW_RECORD)));
  SetFocus(container->window);
  SetFocus(window);
  EXPECT_EQ(GetFocus(), Children(window).front());
  ASSERT_EQ(Query<IHvProjectList>()->RefreshMRUs(), S_OK);
  EXPECT_EQ(Count(GetDlgItem(window, IDC_RECORDS_LIST)), 3);

  // Close with a window: the site hears the window go, and the control lets
  // go of the in-place site, the frame and the UI window.
  container->log.Clear();
  ASSERT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
  EXPECT_TRUE(container->log.Matches({
      "Site.OnShowWindow(0)",
      "Site.OnFocus(0)",
      "UIWindow.SetActiveObject(null, null)",
      "Frame.SetActiveObject(null, null)",
      "Site.OnUIDeactivate(0)",
      "Site.OnInPlaceDeactivate()",
  }));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(container->refs.count, 3) << "only the client site and its dispatch are kept";
  ASSERT_EQ(object->SetClientSite(nullptr), S_OK);
  EXPECT_EQ(container->ForeignReferences(), 0);
  EXPECT_EQ(Query<IHpAdviseEvents>()->SetActivityHost(nullptr), S_OK);
  EXPECT_EQ(host.count, 1);
}

// The page takes the keyboard only when the focus is meant to enter it, and
// the site hears of each time the focus crosses its edge, wherever inside.
TEST_F(WiredTest, FocusEntersOnlyWhenAskedAndEveryCrossingIsReported) {
  ASSERT_EQ(Query<IPersistStreamInit>()->InitNew(), S_OK);
  ASSERT_EQ(Query<IOleObject>()->SetClientSite(container->site()), S_OK);
  SetFocus(container->own_field);
  ASSERT_EQ(Verb(OLEIVERB_INPLACEACTIVATE), S_OK);
  const HWND window = Window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(GetFocus(), container->own_field) << "in-place activation took the keyboard";
  container->log.Clear();

  ASSERT_EQ(Verb(OLEIVERB_UIACTIVATE), S_OK);
  EXPECT_EQ(GetFocus(), Children(window).front());
  EXPECT_TRUE(container->log.Matches(UiActivationCalls()));

  // Moves inside are no crossing; leaving from a button that sends no
  // notifications still is.
  SetFocus(GetDlgItem(window, IDC_GO));
  EXPECT_TRUE(container->log.Matches({}));
  SetFocus(container->own_field);
  EXPECT_TRUE(container->log.Matches({"Site.OnFocus(0)"}));

  // Straight into a child (a click, a mnemonic) and out to the container window.
  SetFocus(GetDlgItem(window, IDC_QUERIES_LIST));
  EXPECT_TRUE(container->log.Matches({"Site.OnFocus(1)"}));
  SetFocus(container->window);
  EXPECT_TRUE(container->log.Matches({"Site.OnFocus(0)"}));

  // Through the page window, which passes the focus on to a child.
  SetFocus(window);
  EXPECT_TRUE(IsChild(window, GetFocus()));
  SetFocus(container->own_field);
  EXPECT_TRUE(container->log.Matches({"Site.OnFocus(1)", "Site.OnFocus(0)"}));

  // Not UI-active, the focus arriving at a child UI-activates first.
  ASSERT_EQ(Query<IOleInPlaceObject>()->UIDeactivate(), S_OK);
  container->log.Clear();
  SetFocus(GetDlgItem(window, IDC_RECORD_TYPES));
  EXPECT_TRUE(container->log.Matches({
      "Site.Invoke(-709)",
      "Site.GetWindow()",
      WindowContext(),
      "Site.OnUIActivate()",
      "Frame.SetActiveObject(active, null)",
      "UIWindow.SetActiveObject(active, null)",
      "Frame.SetBorderSpace(null)",
      "UIWindow.SetBorderSpace(null)",
      "Site.ShowObject()",
      "Site.OnFocus(1)",
  }));
  ASSERT_EQ(Query<IOleObject>()->Close(OLECLOSE_NOSAVE), S_OK);
  ASSERT_EQ(Query<IOleObject>()->SetClientSite(nullptr), S_OK);
}

// Each page's children find what they report to however many pages are
// alive: enough of them that the process's bookkeeping of watched children
// grows several times over, and one in the middle gone and made anew.
TEST_F(WiredTest, EveryPageReportsItsCrossingsWhileManyAreAliveAndOneGoes) {
  constexpr int kPages = 13;  // 208 watched children
  std::vector<ComPtr<IUnknown>> pages = {control};
  for (int i = 1; i < kPages; ++i) pages.push_back(NewControl());
  for (const ComPtr<IUnknown>& page : pages) {
    ASSERT_EQ(Query<IOleObject>(page.get())->SetClientSite(container->site()), S_OK);
    ASSERT_EQ(Verb(OLEIVERB_INPLACEACTIVATE, page.get()), S_OK);
  }
  const ComPtr<IUnknown>& middle = pages[kPages / 2];
  ASSERT_EQ(Query<IOleInPlaceObject>(middle.get())->InPlaceDeactivate(), S_OK);
  ASSERT_EQ(Window(middle.get()), nullptr);
  ASSERT_EQ(Verb(OLEIVERB_INPLACEACTIVATE, middle.get()), S_OK);

  for (int i = 0; i < kPages; ++i) {
    const HWND list = GetDlgItem(Window(pages[i].get()), IDC_RECORDS_LIST);
    ASSERT_NE(list, nullptr);
    SetFocus(container->own_field);
    container->log.Clear();
    SetFocus(list);
    // The list still answers through its own procedure.
    EXPECT_EQ(Count(list), 0) << "page " << i;
    const std::vector<std::string>& calls = container->log.calls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "Site.OnFocus(1)"), calls.end())
        << "page " << i << " did not report the focus entering";
    container->log.Clear();
    SetFocus(container->own_field);
    EXPECT_TRUE(container->log.Matches({"Site.OnFocus(0)"})) << "page " << i;
  }
  for (const ComPtr<IUnknown>& page : pages) {
    ASSERT_EQ(Query<IOleObject>(page.get())->Close(OLECLOSE_NOSAVE), S_OK);
    ASSERT_EQ(Query<IOleObject>(page.get())->SetClientSite(nullptr), S_OK);
  }
}

TEST_F(WiredTest, ActivatesWithTheSiteGivenBeforeOrAfterInitNew) {
  for (bool siteFirst : {true, false}) {
    SCOPED_TRACE(siteFirst ? "site first" : "InitNew first");
    ComPtr<IUnknown> made = NewControl();
    ComPtr<IOleObject> object = Query<IOleObject>(made.get());
    if (siteFirst) {
      ASSERT_EQ(object->SetClientSite(container->site()), S_OK);
    }
    ASSERT_EQ(Query<IPersistStreamInit>(made.get())->InitNew(), S_OK);
    if (!siteFirst) {
      ASSERT_EQ(object->SetClientSite(container->site()), S_OK);
    }
    ASSERT_EQ(Verb(OLEIVERB_SHOW, made.get()), S_OK);
    const HWND window = Window(made.get());
    EXPECT_EQ(Children(window).size(), 16u);
    ASSERT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_FALSE(IsWindow(window));
    ASSERT_EQ(object->SetClientSite(nullptr), S_OK);
    EXPECT_EQ(container->ForeignReferences(), 0);
  }
}

}  // namespace
