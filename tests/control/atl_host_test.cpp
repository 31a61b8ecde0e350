// The DLL's control in Wine's ATL control host (atl100.dll), a container we
// did not write: the page appears with its controls, takes the host contract,
// lets Tab through and out, follows the host's resizes and goes with it.
#include "control/wired_fixture.h"

#include "common/thread_windows.h"
#include "resources/resource_ids.h"

namespace {

using AxWinInitFn = BOOL(WINAPI*)();
using AxCreateControlFn = HRESULT(WINAPI*)(LPCOLESTR, HWND, IStream*, IUnknown**);
using AxAttachControlFn = HRESULT(WINAPI*)(IUnknown*, HWND, IUnknown**);
using AxGetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);

const char kHostClass[] = "PellwickAtlHostTest";

template <class Function>
Function Export(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

class AtlHostTest : public ControlTest {
 protected:
  void SetUp() override {
    windows_before_ = CountThreadWindows();
    ControlTest::SetUp();
    atl_.reset(LoadLibraryA("atl100.dll"));
    ASSERT_TRUE(atl_.get());
    const auto init = Export<AxWinInitFn>(atl_.get(), "AtlAxWinInit");
    create_ = Export<AxCreateControlFn>(atl_.get(), "AtlAxCreateControl");
    attach_ = Export<AxAttachControlFn>(atl_.get(), "AtlAxAttachControl");
    get_control_ = Export<AxGetControlFn>(atl_.get(), "AtlAxGetControl");
    ASSERT_TRUE(init && create_ && attach_ && get_control_);
    // Only the first call in a process answers TRUE: the classes stay registered.
    init();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kHostClass;
    RegisterClassA(&windowClass);
    host_window = CreateWindowExA(0, kHostClass, "ATL host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                  0, 800, 600, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(host_window, nullptr);
  }

  void TearDown() override {
    if (IsWindow(host_window)) DestroyWindow(host_window);
    ax_container.reset();
    hosted.reset();
    EXPECT_EQ(CountThreadWindows(), windows_before_) << "a window was left behind";
    ControlTest::TearDown();
  }

  // The control window: the hosted control's IOleWindow answer.
  HWND PageWindow() {
    HWND window = nullptr;
    EXPECT_EQ(Query<IOleWindow>(hosted.get())->GetWindow(&window), S_OK);
    return window;
  }

  // Destroys the host window: ATL closes the control, drops its site and
  // releases it; the page window must go with it.
  void DestroyHost() {
    const HWND page = PageWindow();
    ASSERT_TRUE(DestroyWindow(host_window));
    EXPECT_FALSE(IsWindow(page));
    HWND none = reinterpret_cast<HWND>(1);
    EXPECT_EQ(Query<IOleWindow>(hosted.get())->GetWindow(&none), E_UNEXPECTED);
    ComPtr<IOleClientSite> site;
    EXPECT_EQ(Query<IOleObject>(hosted.get())->GetClientSite(site.out()), S_OK);
    EXPECT_EQ(site.get(), nullptr);
  }

  AxCreateControlFn create_ = nullptr;
  AxAttachControlFn attach_ = nullptr;
  AxGetControlFn get_control_ = nullptr;
  HWND host_window = nullptr;
  ComPtr<IUnknown> ax_container;
  ComPtr<IUnknown> hosted;

 private:
  ModuleHandle atl_;
  int windows_before_ = 0;
};

bool IsEnabledTabStop(HWND child) {
  return (GetWindowLongA(child, GWL_STYLE) & WS_TABSTOP) && IsWindowEnabled(child) &&
         IsWindowVisible(child);
}

TEST_F(AtlHostTest, HostsThePageByProgIdThroughTabResizeAndDestruction) {
  ASSERT_EQ(create_(L"Pellwick.ActivityCtrl", host_window, nullptr, ax_container.out()), S_OK);
  ASSERT_EQ(get_control_(host_window, hosted.out()), S_OK);
  ASSERT_TRUE(ax_container);
  const HWND page = PageWindow();
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(GetParent(page), host_window);
  EXPECT_TRUE(IsWindowVisible(page));
  const std::vector<HWND> children = Children(page);
  EXPECT_EQ(children.size(), 16u);
  std::vector<HWND> tabStops;
  for (HWND child : children)
    if (IsEnabledTabStop(child)) tabStops.push_back(child);
  ASSERT_FALSE(tabStops.empty());
  // Without ambient properties activation also UI-activates, which brings the
  // focus in at the first child; the hidden page never took it itself.
  EXPECT_EQ(GetFocus(), children.front());

  MockHost host;
  host.record_mrus = MruText(4);
  host.query_mrus = MruText(5);
  ASSERT_EQ(Query<IHpAdviseEvents>(hosted.get())->SetActivityHost(&host), S_OK);
  EXPECT_EQ(SendDlgItemMessageA(page, IDC_RECORDS_LIST, LB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(SendDlgItemMessageA(page, IDC_QUERIES_LIST, LB_GETCOUNT, 0, 0), 5);

  {
    // Tab visits the enabled tab stops in order, then leaves to the container.
    std::vector<HWND> expected = {children.front()};
    expected.insert(expected.end(), tabStops.begin(), tabStops.end());
    BYTE keys[256] = {};
    SetKeyboardState(keys);
    ComPtr<IOleInPlaceActiveObject> active = Query<IOleInPlaceActiveObject>(hosted.get());
    std::vector<HWND> visited = {GetFocus()};
    HRESULT hr = S_OK;
    for (int step = 0; step < 20 && hr == S_OK; ++step) {
      MSG tab = {GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
      hr = active->TranslateAccelerator(&tab);
      if (hr == S_OK) visited.push_back(GetFocus());
    }
    EXPECT_EQ(hr, S_FALSE) << "Tab on the last tab stop goes to the container";
    EXPECT_EQ(visited, expected);
  }

  // The host sizes the page to its client area.
  ASSERT_TRUE(MoveWindow(host_window, 10, 10, 520, 330, TRUE));
  RECT client = {}, placed = {};
  GetClientRect(host_window, &client);
  GetWindowRect(page, &placed);
  EXPECT_EQ(placed.right - placed.left, client.right);
  EXPECT_EQ(placed.bottom - placed.top, client.bottom);

  DestroyHost();
  ax_container.reset();
  hosted.reset();
  EXPECT_EQ(host.count, 1) << "the control and its host reference are gone";
}

TEST_F(AtlHostTest, HostsAControlMadeThroughTheClassObject) {
  ASSERT_EQ(attach_(control.get(), host_window, ax_container.out()), S_OK);
  ASSERT_TRUE(ax_container);
  hosted = control;
  const HWND page = PageWindow();
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(GetParent(page), host_window);
  EXPECT_EQ(Children(page).size(), 16u);
  DestroyHost();
  EXPECT_EQ(References(control.get()), 2u) << "only the test's references are left";
}

}  // namespace
