#include "framework/hosting_fixture.h"

#include "common/thread_windows.h"
#include "resources/resource_ids.h"

PropertyFrameCall g_property_frame_call;

namespace {
HRESULT WINAPI RecordPropertyFrame(HWND owner, UINT, UINT, LPCOLESTR caption, ULONG objectCount,
                                   IUnknown** objects, ULONG pageCount, CLSID*, LCID locale,
                                   DWORD, void*) {
  PropertyFrameCall& call = g_property_frame_call;
  ++call.calls;
  call.owner = owner;
  call.caption.clear();
  for (LPCOLESTR c = caption; c && *c; ++c) call.caption += static_cast<char>(*c);
  call.objects = objectCount;
  call.object = objectCount ? objects[0] : nullptr;
  call.pages = pageCount;
  call.locale = locale;
  return S_OK;
}
}  // namespace

void TestControl::SetClientSite(IOleClientSite* site) {
  client_.reset(site);
  ambient_.reset();
  if (site) site->QueryInterface(IID_IDispatch, ambient_.out_void());
}

HWND TestControl::CreateControlWindow(HWND parent) noexcept {
  log_.Add("Control.CreateControlWindow()");
  if (refuse_window) return nullptr;
  return Create(GetModuleHandleA(nullptr), IDD_ACTIVITY_PAGE, parent);
}

HRESULT TestControl::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND parent,
                            LPCRECT) noexcept {
  log_.Add("Control.DoVerb(" + std::to_string(verb) + ")");
  return hosting.DoVerb(verb, activeSite, parent);
}

HRESULT TestControl::GetUserType(DWORD form, LPOLESTR* name) noexcept {
  static const wchar_t kShort[] = L"ActivityCtrl";
  *name = static_cast<LPOLESTR>(CoTaskMemAlloc(sizeof kShort));
  if (!*name) return E_OUTOFMEMORY;
  memcpy(*name, kShort, sizeof kShort);
  return form == USERCLASSTYPE_SHORT ? S_OK : E_FAIL;
}

BOOL TestControl::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       LRESULT& result, DWORD mapId) noexcept {
  if (mapId != 0) return FALSE;
  return hosting.ProcessMessage(window, message, wParam, lParam, result);
}

void HostingTest::SetUp() {
  KeysDown({});
  windows_before_ = CountThreadWindows();
  g_property_frame_call = PropertyFrameCall();
  previous_frame_ = SetPropertyFrameFunction(&RecordPropertyFrame);
  container = std::make_unique<FakeContainer>();
  ASSERT_NE(container->window, nullptr);
  control = std::make_unique<TestControl>(container->log);
  container->active_object = &control->active;
}

void HostingTest::TearDown() {
  KeysDown({});
  const HBRUSH brush = Window() ? Background(WindowDc(Window()).get()) : nullptr;
  control->hosting.InPlaceDeactivate();
  control->hosting.ReleaseSite();
  control->SetClientSite(nullptr);
  EXPECT_EQ(control->active.count, 1);
  EXPECT_EQ(control->identity.count, 1);
  control.reset();
  if (brush) {
    EXPECT_EQ(GetObjectType(brush), 0u) << "brush outlived its owner";
  }
  EXPECT_EQ(container->ForeignReferences(), 0)
      << "site " << container->refs.count << ", frame " << container->frame.refs.count
      << ", UI window " << container->ui_window.refs.count;
  container.reset();
  EXPECT_EQ(CountThreadWindows(), windows_before_);
  SetPropertyFrameFunction(previous_frame_);
}

HRESULT HostingTest::Verb(LONG verb) {
  return control->DoVerb(verb, nullptr, container->site(), 0, container->window,
                         &container->position);
}

void HostingTest::KeysDown(std::initializer_list<int> keys) {
  BYTE state[256] = {};
  for (int key : keys) state[key] = 0x80;
  SetKeyboardState(state);
}
