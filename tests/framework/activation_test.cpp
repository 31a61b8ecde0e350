// Activation and deactivation call sequences, the verb table, the window's
// placement and clipping region.
#include "framework/hosting_fixture.h"

#include "framework/handles.h"

namespace {

const std::string kGetWindowContext =
    "Site.GetWindowContext(" + std::to_string(sizeof(OLEINPLACEFRAMEINFO)) + ")";

RECT ClientRectOf(HWND window, HWND parent) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

TEST_F(HostingTest, ActivationSequencesWithTheExtendedSite) {
  Attach();
  container->log_queries = true;
  ASSERT_EQ(Verb(OLEIVERB_INPLACEACTIVATE), S_OK);
  EXPECT_TRUE(container->log.Matches({
      "Control.DoVerb(-5)",
      "Site.QueryInterface(IUnknown)",
      "Site.QueryInterface(IUnknown)",
      "Site.QueryInterface(IOleInPlaceSiteEx)",
      "Site.OnInPlaceActivateEx(ptr, 0x0)",
      "Site.GetWindow()",
      kGetWindowContext,
      "Control.CreateControlWindow()",
      "Site.Invoke(-701)",
      "Site.ShowObject()",
  }));
  container->log_queries = false;
  ASSERT_NE(Window(), nullptr);
  EXPECT_EQ(GetParent(Window()), container->window);
  EXPECT_TRUE(IsWindowVisible(Window()));
  const RECT placed = ClientRectOf(Window(), container->window);
  EXPECT_TRUE(EqualRect(&placed, &container->position));
  // The control holds the site and its dispatch; the hosting the site (twice,
  // plain and extended), the frame and the UI window.
  EXPECT_EQ(container->refs.count, 5);
  EXPECT_EQ(container->frame.refs.count, 2);
  EXPECT_EQ(container->ui_window.refs.count, 2);

  ASSERT_EQ(Verb(OLEIVERB_UIACTIVATE), S_OK);
  EXPECT_TRUE(container->log.Matches({
      "Control.DoVerb(-4)",
      "Site.GetWindow()",
      kGetWindowContext,
      "Site.OnUIActivate()",
      // Focusing the window UI-activates again (already active) and moves on.
      "Control.DoVerb(-4)",
      "Site.OnFocus(1)",
      "Frame.SetActiveObject(active, null)",
      "UIWindow.SetActiveObject(active, null)",
      "Frame.SetBorderSpace(null)",
      "UIWindow.SetBorderSpace(null)",
      "Site.ShowObject()",
  }));
  EXPECT_EQ(GetFocus(), GetWindow(Window(), GW_CHILD));
  EXPECT_EQ(Verb(OLEIVERB_UIACTIVATE), S_OK);
  EXPECT_TRUE(container->log.Matches({"Control.DoVerb(-4)"}));

  const HWND window = Window();
  ASSERT_EQ(control->hosting.InPlaceDeactivate(), S_OK);
  // The keyboard goes back to the container first, and the site hears it.
  EXPECT_EQ(GetFocus(), container->window);
  EXPECT_TRUE(container->log.Matches({
      "Site.OnFocus(0)",
      "UIWindow.SetActiveObject(null, null)",
      "Frame.SetActiveObject(null, null)",
      "Site.OnUIDeactivate(0)",
      "Site.OnInPlaceDeactivate()",
  }));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(Window(), nullptr);
  EXPECT_EQ(container->frame.refs.count, 1);
  EXPECT_EQ(container->ui_window.refs.count, 1);
  EXPECT_EQ(control->hosting.InPlaceDeactivate(), S_OK);
  EXPECT_TRUE(container->log.Matches({}));

  // The kept site serves the next activation, which makes a new window.
  container->log_queries = true;
  ASSERT_EQ(Verb(OLEIVERB_SHOW), S_OK);
  EXPECT_NE(Window(), nullptr);
  EXPECT_NE(Window(), window);
  for (const std::string& call : container->log.calls())
    EXPECT_EQ(call.find("IOleInPlaceSite"), std::string::npos) << call;
}

TEST_F(HostingTest, PlainSiteWithoutAmbientsActivatesTheUserInterfaceAtOnce) {
  container->offer_site_ex = false;
  container->offer_ambient = false;
  container->offer_ui_window = false;
  Attach();
  container->log_queries = true;
  ASSERT_EQ(control->hosting.InPlaceActivate(OLEIVERB_SHOW), S_OK);
  EXPECT_TRUE(container->log.Matches({
      "Site.QueryInterface(IOleInPlaceSiteEx)",
      "Site.QueryInterface(IOleInPlaceSite)",
      "Site.CanInPlaceActivate()",
      "Site.OnInPlaceActivate()",
      "Site.GetWindow()",
      kGetWindowContext,
      "Control.CreateControlWindow()",
      "Site.OnUIActivate()",
      "Control.DoVerb(-4)",
      "Site.QueryInterface(IUnknown)",
      "Site.QueryInterface(IUnknown)",
      "Site.QueryInterface(IOleControlSite)",
      "Site.OnFocus(1)",
      "Frame.SetActiveObject(active, null)",
      "Frame.SetBorderSpace(null)",
      "Site.ShowObject()",
  }));
  container->log_queries = false;

  ASSERT_EQ(control->hosting.UIDeactivate(), S_OK);
  EXPECT_TRUE(container->log.Matches({
      "Frame.SetActiveObject(null, null)",
      "Site.OnUIDeactivate(0)",
  }));
  // Still in-place active, with its window: deactivation ends that too.
  EXPECT_TRUE(IsWindow(Window()));
  ASSERT_EQ(control->hosting.InPlaceDeactivate(), S_OK);
  EXPECT_TRUE(container->log.Matches({"Site.OnFocus(0)", "Site.OnInPlaceDeactivate()"}));
}

TEST_F(HostingTest, RefusalsLeaveNothingActive) {
  // No client site: nothing at all.
  EXPECT_EQ(control->DoVerb(OLEIVERB_SHOW, nullptr, nullptr, 0, container->window, nullptr),
            S_OK);
  EXPECT_TRUE(container->log.Matches({"Control.DoVerb(-1)"}));

  // No in-place site.
  container->offer_in_place_site = false;
  Attach();
  EXPECT_EQ(Verb(OLEIVERB_INPLACEACTIVATE), E_FAIL);
  EXPECT_EQ(Window(), nullptr);

  // CanInPlaceActivate: an error as it is, any other answer than S_OK E_FAIL.
  container->offer_in_place_site = true;
  container->offer_site_ex = false;
  container->can_in_place_activate = S_FALSE;
  EXPECT_EQ(Verb(OLEIVERB_INPLACEACTIVATE), E_FAIL);
  container->can_in_place_activate = E_ACCESSDENIED;
  EXPECT_EQ(Verb(OLEIVERB_INPLACEACTIVATE), E_ACCESSDENIED);

  // A window that cannot be made: in-place active without one. No refusal
  // left the control active, so the site is asked and told anew.
  container->can_in_place_activate = S_OK;
  control->refuse_window = true;
  container->log.Clear();
  EXPECT_EQ(Verb(OLEIVERB_INPLACEACTIVATE), E_FAIL);
  EXPECT_TRUE(container->log.Matches({"Control.DoVerb(-5)", "Site.CanInPlaceActivate()",
                                      "Site.OnInPlaceActivate()", "Site.GetWindow()",
                                      kGetWindowContext, "Control.CreateControlWindow()"}));
  EXPECT_EQ(Window(), nullptr);
  HWND window = reinterpret_cast<HWND>(1);
  EXPECT_EQ(control->hosting.GetWindow(&window), E_UNEXPECTED);
  EXPECT_EQ(window, nullptr);
  EXPECT_EQ(control->hosting.GetWindow(nullptr), E_POINTER);

  // A refused UI activation is answered as it is and leaves nothing to end.
  // The control stayed in-place active: the site is not asked again for that.
  control->refuse_window = false;
  container->on_ui_activate = E_ABORT;
  EXPECT_EQ(Verb(OLEIVERB_UIACTIVATE), E_ABORT);
  ASSERT_EQ(control->hosting.UIDeactivate(), S_OK);
  EXPECT_TRUE(container->log.Matches({"Control.DoVerb(-4)", "Site.GetWindow()", kGetWindowContext,
                                      "Control.CreateControlWindow()", "Site.Invoke(-701)",
                                      "Site.OnUIActivate()"}));
  ASSERT_EQ(control->hosting.GetWindow(&window), S_OK);
  EXPECT_EQ(window, Window());
}

TEST_F(HostingTest, VerbTable) {
  Attach();
  // Only the client site itself, by identity, may be the active site.
  FakeContainer other;
  EXPECT_EQ(control->DoVerb(OLEIVERB_SHOW, nullptr, other.site(), 0, nullptr, nullptr),
            E_UNEXPECTED);
  EXPECT_EQ(control->DoVerb(OLEIVERB_SHOW, nullptr, nullptr, 0, nullptr, nullptr), E_UNEXPECTED);
  EXPECT_EQ(other.refs.count, 1);
  for (LONG verb : {OLEIVERB_OPEN, OLEIVERB_DISCARDUNDOSTATE}) EXPECT_EQ(Verb(verb), S_OK);
  EXPECT_EQ(Verb(-8), E_NOTIMPL);
  EXPECT_EQ(Verb(-100), E_NOTIMPL);
  container->log.Clear();

  // A positive verb acts as the primary verb, then says it is unknown.
  EXPECT_EQ(Verb(7), OLEOBJ_S_INVALIDVERB);
  ASSERT_GE(container->log.calls().size(), 2u);
  EXPECT_EQ(container->log.calls()[1], "Site.Invoke(-709)");
  EXPECT_TRUE(IsWindowVisible(Window()));

  // Hide: UI deactivation, the window hidden but kept; a later verb shows it.
  ASSERT_EQ(Verb(OLEIVERB_UIACTIVATE), S_OK);
  const HWND window = Window();
  container->log.Clear();
  EXPECT_EQ(Verb(OLEIVERB_HIDE), S_OK);
  EXPECT_TRUE(container->log.Matches({
      "Control.DoVerb(-3)",
      "UIWindow.SetActiveObject(null, null)",
      "Frame.SetActiveObject(null, null)",
      "Site.OnUIDeactivate(0)",
  }));
  EXPECT_EQ(Window(), window);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(Verb(OLEIVERB_PRIMARY), S_OK);
  EXPECT_EQ(Window(), window);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(g_property_frame_call.calls, 0);
}

TEST_F(HostingTest, PropertiesVerbPrefersTheSitesFrame) {
  Attach();
  container->show_property_frame = S_OK;
  EXPECT_EQ(Verb(OLEIVERB_PROPERTIES), S_OK);
  EXPECT_TRUE(container->log.Matches({"Control.DoVerb(-7)", "Site.ShowPropertyFrame()"}));
  EXPECT_EQ(g_property_frame_call.calls, 0);

  // The site's frame fails: the system frame, captioned with the short type
  // name, over the control, in the ambient locale.
  container->show_property_frame = E_NOTIMPL;
  container->locale_result = S_OK;
  EXPECT_EQ(Verb(OLEIVERB_PROPERTIES), S_OK);
  EXPECT_TRUE(container->log.Matches(
      {"Control.DoVerb(-7)", "Site.ShowPropertyFrame()", "Site.Invoke(-705)"}));
  EXPECT_EQ(g_property_frame_call.calls, 1);
  EXPECT_EQ(g_property_frame_call.owner, container->window);
  EXPECT_EQ(g_property_frame_call.caption, "ActivityCtrl");
  EXPECT_EQ(g_property_frame_call.objects, 1u);
  EXPECT_EQ(g_property_frame_call.object, &control->identity);
  EXPECT_EQ(g_property_frame_call.pages, 0u);
  EXPECT_EQ(g_property_frame_call.locale, 0x0407u);

  // Design mode makes the primary verb the properties verb; without a control
  // site or an ambient locale the system frame uses LOCALE_USER_DEFAULT.
  container->offer_control_site = false;
  container->locale_result = DISP_E_MEMBERNOTFOUND;
  container->user_mode = VARIANT_FALSE;
  EXPECT_EQ(Verb(OLEIVERB_PRIMARY), S_OK);
  EXPECT_TRUE(
      container->log.Matches({"Control.DoVerb(0)", "Site.Invoke(-709)", "Site.Invoke(-705)"}));
  EXPECT_EQ(g_property_frame_call.calls, 2);
  EXPECT_EQ(g_property_frame_call.locale, static_cast<LCID>(LOCALE_USER_DEFAULT));

  // A UserMode that is not VT_BOOL is no answer: the primary verb activates.
  container->user_mode_type = VT_I2;
  EXPECT_EQ(Verb(OLEIVERB_PRIMARY), S_OK);
  EXPECT_TRUE(IsWindowVisible(Window()));
  EXPECT_EQ(g_property_frame_call.calls, 2);
}

TEST_F(HostingTest, ObjectRectsPlaceAndClipTheWindow) {
  RECT position = {40, 30, 440, 330};
  RECT leftHalf = {0, 0, 240, 700};
  EXPECT_EQ(control->hosting.SetObjectRects(nullptr, &leftHalf), E_POINTER);
  EXPECT_EQ(control->hosting.SetObjectRects(&position, nullptr), E_POINTER);
  // Before there is a window there is nothing to place.
  ASSERT_EQ(control->hosting.SetObjectRects(&position, &leftHalf), S_OK);

  Attach();
  ASSERT_EQ(Verb(OLEIVERB_INPLACEACTIVATE), S_OK);
  ASSERT_EQ(control->hosting.SetObjectRects(&position, &leftHalf), S_OK);
  const RECT placed = ClientRectOf(Window(), container->window);
  EXPECT_TRUE(EqualRect(&placed, &position));
  RegionHandle region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_EQ(GetWindowRgn(Window(), region.get()), SIMPLEREGION);
  RECT box = {};
  GetRgnBox(region.get(), &box);
  const RECT expected = {0, 0, 200, 300};
  EXPECT_TRUE(EqualRect(&box, &expected))
      << box.left << "," << box.top << "," << box.right << "," << box.bottom;

  RECT whole = {0, 0, 900, 700};
  ASSERT_EQ(control->hosting.SetObjectRects(&position, &whole), S_OK);
  EXPECT_EQ(GetWindowRgn(Window(), region.get()), ERROR);
  // A clip outside the position removes the region too.
  ASSERT_EQ(control->hosting.SetObjectRects(&position, &leftHalf), S_OK);
  RECT outside = {500, 500, 600, 600};
  ASSERT_EQ(control->hosting.SetObjectRects(&position, &outside), S_OK);
  EXPECT_EQ(GetWindowRgn(Window(), region.get()), ERROR);
}

}  // namespace
