#pragma once
// A fresh recording container and a control per test. The control is the
// smallest owner of an InPlaceHosting: it keeps the client site and its
// ambient dispatch as a control does, its window is dialog 104 (linked into
// the test program) with no page logic, and its DoVerb, window creation and
// view notifications are logged into the container's log as "Control.*".
// TearDown deactivates, drops the site and checks that no reference, window
// or brush (the one the window paints with) is left behind.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>

#include "common/counting_unknown.h"
#include "common/fake_container.h"
#include "common/ref_counts.h"
#include "framework/com_ptr.h"
#include "framework/dialog_window.h"
#include "framework/in_place_hosting.h"

// An in-place active object that only counts; the frame sees its pointer.
class CountingActiveObject : public IOleInPlaceActiveObject, public RefCounts {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) noexcept override {
    if (object) *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return CountAddRef("active object"); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return CountRelease("active object"); }
  HRESULT STDMETHODCALLTYPE GetWindow(HWND*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG) noexcept override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) noexcept override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) noexcept override { return S_OK; }
};

class TestControl : public DialogWindow, public InPlaceOwner {
 public:
  explicit TestControl(CallLog& log) : log_(log) {}
  ~TestControl() { Destroy(); }

  // As IOleObject::SetClientSite: keeps the site and its ambient dispatch.
  void SetClientSite(IOleClientSite* site);

  IOleClientSite* HostingClientSite() noexcept override { return client_.get(); }
  IDispatch* HostingAmbientDispatch() noexcept override { return ambient_.get(); }
  IUnknown* HostingIdentity() noexcept override { return &identity; }
  IUnknown* HostingLifetime() noexcept override { return &identity; }
  IOleInPlaceActiveObject* HostingActiveObject() noexcept override { return &active; }
  HWND ControlWindow() noexcept override { return window(); }
  HWND CreateControlWindow(HWND parent) noexcept override;
  void DestroyControlWindow() noexcept override { Destroy(); }
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG message, IOleClientSite* activeSite,
                                   LONG index, HWND parent, LPCRECT position) noexcept override;
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* name) noexcept override;
  void HostingViewChanged() noexcept override { log_.Add("Control.ViewChanged()"); }

  InPlaceHosting hosting{*this};
  CountingUnknown identity;
  CountingActiveObject active;
  bool refuse_window = false;

 protected:
  BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result, DWORD mapId) noexcept override;

 private:
  CallLog& log_;
  ComPtr<IOleClientSite> client_;
  ComPtr<IDispatch> ambient_;
};

// What the replaced system property frame was asked.
struct PropertyFrameCall {
  int calls = 0;
  HWND owner = nullptr;
  std::string caption;
  ULONG objects = 0;
  IUnknown* object = nullptr;
  ULONG pages = 0;
  LCID locale = 0;
};
extern PropertyFrameCall g_property_frame_call;

class HostingTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Gives the control the container's site.
  void Attach() { control->SetClientSite(container->site()); }
  // The container's DoVerb with its own site, window and position.
  HRESULT Verb(LONG verb);
  HWND Window() { return control->window(); }
  HWND Item(int id) { return GetDlgItem(Window(), id); }
  // The brush the control has the window's background painted with, as its
  // WM_CTLCOLORDLG answer for `dc` gives it; null for the dialog's own colour.
  HBRUSH Background(HDC dc) {
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageA(
        Window(), WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Window())));
    return brush == GetSysColorBrush(COLOR_3DFACE) ? nullptr : brush;
  }
  // Sets exactly the listed keys down in this thread's keyboard state.
  static void KeysDown(std::initializer_list<int> keys);

  std::unique_ptr<FakeContainer> container;
  std::unique_ptr<TestControl> control;

 private:
  int windows_before_ = 0;
  PropertyFrameFunction previous_frame_ = nullptr;
};
