#pragma once
// A recording OLE container for control tests: a client site that is also the
// in-place site (IOleInPlaceSiteEx or, switched, only IOleInPlaceSite), the
// control site and the ambient dispatch, each of which a test can switch off
// down to a bare client site; an in-place frame and a UI window; and a real,
// visible top-level window that parents the control, with an edit field of
// its own beside the control that can hold the focus. Every call is logged
// (call_log.h) as "Object.Method(args)"; each of the three objects counts its
// references from the test's own one (ref_counts.h), and any call on an
// object whose count fell to zero is reported as a failure. The container
// belongs to the test and is never deleted by its counts.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <functional>
#include <string>

#include "common/call_log.h"
#include "common/ref_counts.h"

class FakeContainer;

class FakeFrame : public IOleInPlaceFrame {
 public:
  explicit FakeFrame(FakeContainer& container) : container_(container) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return refs.CountAddRef(name); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return refs.CountRelease(name); }
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) noexcept override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) noexcept override;
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT border) noexcept override;
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS widths) noexcept override;
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS widths) noexcept override;
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object,
                                            LPCOLESTR name) noexcept override;
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU menu, LPOLEMENUGROUPWIDTHS widths) noexcept override;
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU menu, HOLEMENU shared, HWND object) noexcept override;
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU menu) noexcept override;
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR text) noexcept override;
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) noexcept override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message, WORD id) noexcept override;

  RefCounts refs;
  const char* name = "Frame";  // "UIWindow" for the document window

 private:
  FakeContainer& container_;
};

class FakeContainer : public IOleClientSite,
                      public IOleInPlaceSiteEx,
                      public IOleControlSite,
                      public IDispatch {
 public:
  FakeContainer();
  ~FakeContainer();
  FakeContainer(const FakeContainer&) = delete;
  FakeContainer& operator=(const FakeContainer&) = delete;

  IOleClientSite* site() noexcept { return this; }
  // Leaves a bare client site: no in-place site, control site or ambient
  // dispatch, as a container that only embeds.
  void OfferOnlyTheClientSite();

  // IUnknown: the client site's identity. Queries are logged as
  // "Site.QueryInterface(name)" when `log_queries` is set.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return refs.CountAddRef("Site"); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return refs.CountRelease("Site"); }

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() noexcept override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which,
                                       IMoniker** moniker) noexcept override;
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) noexcept override;
  HRESULT STDMETHODCALLTYPE ShowObject() noexcept override;
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL show) noexcept override;
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() noexcept override;

  // IOleWindow, IOleInPlaceSite, IOleInPlaceSiteEx
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) noexcept override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) noexcept override;
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() noexcept override;
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() noexcept override;
  HRESULT STDMETHODCALLTYPE OnUIActivate() noexcept override;
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame,
                                             IOleInPlaceUIWindow** document, LPRECT position,
                                             LPRECT clip,
                                             LPOLEINPLACEFRAMEINFO info) noexcept override;
  HRESULT STDMETHODCALLTYPE Scroll(SIZE extent) noexcept override;
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL undoable) noexcept override;
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() noexcept override;
  HRESULT STDMETHODCALLTYPE DiscardUndoState() noexcept override;
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() noexcept override;
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT position) noexcept override;
  HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) noexcept override;
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL noRedraw) noexcept override;
  HRESULT STDMETHODCALLTYPE RequestUIActivate() noexcept override;

  // IOleControlSite
  HRESULT STDMETHODCALLTYPE OnControlInfoChanged() noexcept override;
  HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL lock) noexcept override;
  HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** control) noexcept override;
  HRESULT STDMETHODCALLTYPE TransformCoords(POINTL* himetric, POINTF* container,
                                            DWORD flags) noexcept override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* message, DWORD modifiers) noexcept override;
  HRESULT STDMETHODCALLTYPE OnFocus(BOOL gotFocus) noexcept override;
  HRESULT STDMETHODCALLTYPE ShowPropertyFrame() noexcept override;

  // IDispatch: the ambient properties. Invoke must be a property get with no
  // arguments in LOCALE_USER_DEFAULT; it is logged as "Site.Invoke(dispid)".
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale,
                                        ITypeInfo** info) noexcept override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) noexcept override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argument) noexcept override;

  // Outstanding references others hold on the site, the frame and the UI
  // window together.
  long ForeignReferences() const;
  // How a log line writes an IOleInPlaceActiveObject: "active" for
  // `active_object`, "null", or "other".
  std::string ObjectName(IUnknown* object) const;

  CallLog log;
  // Runs inside every logged call after it is logged, with its log line: lets
  // a test make the container act from inside any of its callbacks.
  std::function<void(const std::string& line)> during;
  RefCounts refs;
  FakeFrame frame{*this};
  FakeFrame ui_window{*this};
  HWND window = nullptr;
  HWND own_field = nullptr;  // a child of `window` outside `position`

  // Switches: which interfaces the site answers.
  bool offer_site_ex = true;       // IOleInPlaceSiteEx
  bool offer_in_place_site = true; // IOleInPlaceSite (and IOleWindow)
  bool offer_control_site = true;  // IOleControlSite
  bool offer_ambient = true;       // IDispatch
  bool offer_ui_window = true;     // GetWindowContext hands out the UI window
  bool log_queries = false;

  // Answers.
  HRESULT can_in_place_activate = S_OK;
  HRESULT on_ui_activate = S_OK;
  HRESULT get_window = S_OK;
  HRESULT show_property_frame = E_NOTIMPL;
  HRESULT translate_accelerator = S_FALSE;
  HRESULT back_color_result = S_OK;
  OLE_COLOR back_color = 0x00336699;
  HRESULT user_mode_result = S_OK;
  VARIANT_BOOL user_mode = VARIANT_TRUE;
  VARTYPE user_mode_type = VT_BOOL;
  HRESULT locale_result = DISP_E_MEMBERNOTFOUND;
  LCID locale = 0x0407;
  RECT position = {10, 20, 310, 220};
  RECT clip = {0, 0, 800, 600};
  IUnknown* active_object = nullptr;  // what ObjectName calls "active"

 private:
  void Called(const char* object, std::string line);
  friend class FakeFrame;
};
