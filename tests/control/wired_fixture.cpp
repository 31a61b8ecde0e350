#include "control/wired_fixture.h"

#include "common/thread_windows.h"
#include "framework/handles.h"

std::string MruText(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "db\nh1\nh2\nitem " + std::to_string(i) + "\n\n\n";
  return text;
}

std::vector<HWND> Children(HWND window) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

HBRUSH DialogBrush(HWND window) {
  WindowDc dc(window);
  return reinterpret_cast<HBRUSH>(SendMessageA(window, WM_CTLCOLORDLG,
                                               reinterpret_cast<WPARAM>(dc.get()),
                                               reinterpret_cast<LPARAM>(window)));
}

void WiredTest::SetUp() {
  windows_before_ = CountThreadWindows();
  ControlTest::SetUp();
  container = std::make_unique<FakeContainer>();
  windows_with_container = CountThreadWindows();
  container->active_object = Query<IOleInPlaceActiveObject>().get();
}

void WiredTest::TearDown() {
  control.reset();
  EXPECT_EQ(container->ForeignReferences(), 0) << "the control kept a container reference";
  container.reset();
  EXPECT_EQ(CountThreadWindows(), windows_before_) << "a window was left behind";
  ControlTest::TearDown();
}

HRESULT WiredTest::Verb(LONG verb, IUnknown* object) {
  return Query<IOleObject>(object)->DoVerb(verb, nullptr, container->site(), 0, container->window,
                                           &container->position);
}

HWND WiredTest::Window(IUnknown* object) {
  HWND window = nullptr;
  Query<IOleWindow>(object)->GetWindow(&window);
  return window;
}
