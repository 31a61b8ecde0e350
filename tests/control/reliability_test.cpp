// Many activations, many controls and careless containers leave no window,
// brush, container reference or module lock behind.
#include "control/wired_fixture.h"

#include "common/thread_windows.h"

namespace {

constexpr int kCycles = 200;

bool AnyAlive(const std::vector<HWND>& windows) {
  for (HWND window : windows)
    if (IsWindow(window)) return true;
  return false;
}

int LiveBrushes(const std::vector<HBRUSH>& brushes) {
  int alive = 0;
  for (HBRUSH brush : brushes)
    if (GetObjectType(brush) != 0) ++alive;
  return alive;
}

TEST_F(WiredTest, ActivationCyclesReplaceWindowAndBrush) {
  ComPtr<IOleObject> object = Query<IOleObject>();
  ComPtr<IOleInPlaceObject> in_place = Query<IOleInPlaceObject>();
  ASSERT_EQ(object->SetClientSite(container->site()), S_OK);
  std::vector<HWND> windows;
  std::vector<HBRUSH> brushes;
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    ASSERT_EQ(Verb(cycle % 2 ? OLEIVERB_UIACTIVATE : OLEIVERB_INPLACEACTIVATE), S_OK);
    windows.push_back(Window());
    brushes.push_back(DialogBrush(windows.back()));
    ASSERT_NE(brushes.back(), nullptr);
    ASSERT_EQ(LiveBrushes(brushes), 1) << "cycle " << cycle;
    ASSERT_EQ(in_place->InPlaceDeactivate(), S_OK);
    ASSERT_FALSE(IsWindow(windows.back()));
  }
  EXPECT_EQ(CountThreadWindows(), windows_with_container);

  // A new ambient colour replaces the brush while active.
  ASSERT_EQ(Verb(OLEIVERB_INPLACEACTIVATE), S_OK);
  const HBRUSH before = DialogBrush(Window());
  container->back_color = 0x80000005;
  ASSERT_EQ(Query<IOleControl>()->OnAmbientPropertyChange(DISPID_AMBIENT_BACKCOLOR), S_OK);
  const HBRUSH after = DialogBrush(Window());
  EXPECT_EQ(GetObjectType(before), 0u);
  LOGBRUSH made = {};
  ASSERT_EQ(GetObject(after, sizeof made, &made), static_cast<int>(sizeof made));
  EXPECT_EQ(made.lbColor, GetSysColor(COLOR_WINDOW));
  brushes.push_back(after);

  ASSERT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
  ASSERT_EQ(object->SetClientSite(nullptr), S_OK);
  EXPECT_EQ(dll->can_unload_now(), S_FALSE) << "the control still holds its lock";
  object.reset();
  in_place.reset();
  control.reset();
  EXPECT_EQ(LiveBrushes(brushes), 0) << "the last brush goes with the control";
  EXPECT_FALSE(AnyAlive(windows));
}

TEST_F(WiredTest, CreateActivateCloseReleaseCyclesLeaveNothing) {
  std::vector<HWND> windows;
  std::vector<HBRUSH> brushes;
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    ComPtr<IUnknown> made = NewControl();
    ComPtr<IOleObject> object = Query<IOleObject>(made.get());
    ASSERT_EQ(object->SetClientSite(container->site()), S_OK);
    ASSERT_EQ(Verb(OLEIVERB_UIACTIVATE, made.get()), S_OK);
    windows.push_back(Window(made.get()));
    brushes.push_back(DialogBrush(windows.back()));
    ASSERT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
    ASSERT_EQ(object->SetClientSite(nullptr), S_OK);
    object.reset();
    made.reset();
    ASSERT_EQ(container->ForeignReferences(), 0) << "cycle " << cycle;
    ASSERT_EQ(LiveBrushes(brushes), 0) << "cycle " << cycle;
  }
  EXPECT_FALSE(AnyAlive(windows));
  EXPECT_EQ(CountThreadWindows(), windows_with_container);
}

// Careless containers: the last reference goes while UI-active, or the site
// is taken away while active and the control released without Close.
TEST_F(WiredTest, ReleasedWhileActiveLeavesNoWindow) {
  for (bool dropSiteFirst : {false, true}) {
    SCOPED_TRACE(dropSiteFirst ? "SetClientSite(NULL) while active" : "released UI-active");
    ComPtr<IUnknown> made = NewControl();
    ComPtr<IOleObject> object = Query<IOleObject>(made.get());
    ASSERT_EQ(object->SetClientSite(container->site()), S_OK);
    ASSERT_EQ(Verb(OLEIVERB_UIACTIVATE, made.get()), S_OK);
    const HWND window = Window(made.get());
    const HBRUSH brush = DialogBrush(window);
    if (dropSiteFirst) {
      ASSERT_EQ(object->SetClientSite(nullptr), S_OK);
      EXPECT_TRUE(IsWindow(window)) << "the window stays until the control goes";
    }
    container->log.Clear();
    object.reset();
    made.reset();
    EXPECT_TRUE(container->log.Matches({})) << "nothing is called while the control goes";
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_EQ(container->ForeignReferences(), 0);
  }
  EXPECT_EQ(CountThreadWindows(), windows_with_container);
}

}  // namespace
