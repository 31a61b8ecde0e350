#include "common/fake_container.h"

#include <string>

namespace {
const char kWindowClass[] = "PellwickFakeContainer";

std::string Hex(unsigned long value) {
  char text[16];
  wsprintfA(text, "0x%lX", value);
  return text;
}

std::string Rect(LPCRECT rect) {
  if (!rect) return "null";
  return "{" + std::to_string(rect->left) + "," + std::to_string(rect->top) + "," +
         std::to_string(rect->right) + "," + std::to_string(rect->bottom) + "}";
}

const char* InterfaceName(REFIID iid) {
  if (IsEqualIID(iid, IID_IUnknown)) return "IUnknown";
  if (IsEqualIID(iid, IID_IOleClientSite)) return "IOleClientSite";
  if (IsEqualIID(iid, IID_IOleWindow)) return "IOleWindow";
  if (IsEqualIID(iid, IID_IOleInPlaceSite)) return "IOleInPlaceSite";
  if (IsEqualIID(iid, IID_IOleInPlaceSiteEx)) return "IOleInPlaceSiteEx";
  if (IsEqualIID(iid, IID_IOleInPlaceSiteWindowless)) return "IOleInPlaceSiteWindowless";
  if (IsEqualIID(iid, IID_IOleControlSite)) return "IOleControlSite";
  if (IsEqualIID(iid, IID_IDispatch)) return "IDispatch";
  return "other";
}
}  // namespace

FakeContainer::FakeContainer() {
  ui_window.name = "UIWindow";
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassA(&windowClass);
  window = CreateWindowExA(0, kWindowClass, "test container",
                           WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 900, 700,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!window) ADD_FAILURE() << "no container window, error " << GetLastError();
  own_field = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP, 700,
                              20, 150, 24, window, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!own_field) ADD_FAILURE() << "no container field, error " << GetLastError();
}

FakeContainer::~FakeContainer() {
  if (window) DestroyWindow(window);
}

void FakeContainer::Called(const char* object, std::string line) {
  const RefCounts& counts = std::string(object) == "Site"       ? refs
                            : std::string(object) == "Frame"    ? frame.refs
                                                                : ui_window.refs;
  if (counts.count <= 0) ADD_FAILURE() << "call on a released " << object << ": " << line;
  const std::string logged = std::string(object) + "." + line;
  log.Add(logged);
  if (during) during(logged);
}

void FakeContainer::OfferOnlyTheClientSite() {
  offer_in_place_site = false;
  offer_control_site = false;
  offer_ambient = false;
}

long FakeContainer::ForeignReferences() const {
  return (refs.count - 1) + (frame.refs.count - 1) + (ui_window.refs.count - 1);
}

std::string FakeContainer::ObjectName(IUnknown* object) const {
  if (!object) return "null";
  return object == active_object ? "active" : "other";
}

HRESULT FakeContainer::QueryInterface(REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (log_queries) Called("Site", LogCall("QueryInterface", {InterfaceName(iid)}));
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
    *object = static_cast<IOleClientSite*>(this);
  else if (offer_in_place_site &&
           (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite)))
    *object = static_cast<IOleInPlaceSite*>(this);
  else if (offer_in_place_site && offer_site_ex && IsEqualIID(iid, IID_IOleInPlaceSiteEx))
    *object = static_cast<IOleInPlaceSiteEx*>(this);
  else if (offer_control_site && IsEqualIID(iid, IID_IOleControlSite))
    *object = static_cast<IOleControlSite*>(this);
  else if (offer_ambient && IsEqualIID(iid, IID_IDispatch))
    *object = static_cast<IDispatch*>(this);
  if (!*object) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

// IOleClientSite
HRESULT FakeContainer::SaveObject() noexcept {
  Called("Site", LogCall("SaveObject"));
  return S_OK;
}
HRESULT FakeContainer::GetMoniker(DWORD, DWORD, IMoniker** moniker) noexcept {
  Called("Site", LogCall("GetMoniker"));
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}
HRESULT FakeContainer::GetContainer(IOleContainer** container) noexcept {
  Called("Site", LogCall("GetContainer"));
  if (container) *container = nullptr;
  return E_NOINTERFACE;
}
HRESULT FakeContainer::ShowObject() noexcept {
  Called("Site", LogCall("ShowObject"));
  return S_OK;
}
HRESULT FakeContainer::OnShowWindow(BOOL show) noexcept {
  Called("Site", LogCall("OnShowWindow", {std::to_string(show)}));
  return S_OK;
}
HRESULT FakeContainer::RequestNewObjectLayout() noexcept {
  Called("Site", LogCall("RequestNewObjectLayout"));
  return E_NOTIMPL;
}

// IOleWindow, IOleInPlaceSite(Ex)
HRESULT FakeContainer::GetWindow(HWND* result) noexcept {
  Called("Site", LogCall("GetWindow"));
  if (!result) return E_POINTER;
  *result = SUCCEEDED(get_window) ? window : nullptr;
  return get_window;
}
HRESULT FakeContainer::ContextSensitiveHelp(BOOL enter) noexcept {
  Called("Site", LogCall("ContextSensitiveHelp", {std::to_string(enter)}));
  return E_NOTIMPL;
}
HRESULT FakeContainer::CanInPlaceActivate() noexcept {
  Called("Site", LogCall("CanInPlaceActivate"));
  return can_in_place_activate;
}
HRESULT FakeContainer::OnInPlaceActivate() noexcept {
  Called("Site", LogCall("OnInPlaceActivate"));
  return S_OK;
}
HRESULT FakeContainer::OnUIActivate() noexcept {
  Called("Site", LogCall("OnUIActivate"));
  return on_ui_activate;
}
HRESULT FakeContainer::GetWindowContext(IOleInPlaceFrame** frameOut,
                                        IOleInPlaceUIWindow** document, LPRECT positionOut,
                                        LPRECT clipOut, LPOLEINPLACEFRAMEINFO info) noexcept {
  Called("Site", LogCall("GetWindowContext", {info ? std::to_string(info->cb) : "null"}));
  if (!frameOut || !document || !positionOut || !clipOut || !info) return E_POINTER;
  *frameOut = &frame;
  frame.AddRef();
  *document = nullptr;
  if (offer_ui_window) {
    *document = &ui_window;
    ui_window.AddRef();
  }
  *positionOut = position;
  *clipOut = clip;
  info->fMDIApp = FALSE;
  info->hwndFrame = window;
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}
HRESULT FakeContainer::Scroll(SIZE) noexcept {
  Called("Site", LogCall("Scroll"));
  return E_NOTIMPL;
}
HRESULT FakeContainer::OnUIDeactivate(BOOL undoable) noexcept {
  Called("Site", LogCall("OnUIDeactivate", {std::to_string(undoable)}));
  return S_OK;
}
HRESULT FakeContainer::OnInPlaceDeactivate() noexcept {
  Called("Site", LogCall("OnInPlaceDeactivate"));
  return S_OK;
}
HRESULT FakeContainer::DiscardUndoState() noexcept {
  Called("Site", LogCall("DiscardUndoState"));
  return S_OK;
}
HRESULT FakeContainer::DeactivateAndUndo() noexcept {
  Called("Site", LogCall("DeactivateAndUndo"));
  return S_OK;
}
HRESULT FakeContainer::OnPosRectChange(LPCRECT rect) noexcept {
  Called("Site", LogCall("OnPosRectChange", {Rect(rect)}));
  return S_OK;
}
HRESULT FakeContainer::OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) noexcept {
  Called("Site", LogCall("OnInPlaceActivateEx", {noRedraw ? "ptr" : "null", Hex(flags)}));
  if (noRedraw) *noRedraw = FALSE;
  return S_OK;
}
HRESULT FakeContainer::OnInPlaceDeactivateEx(BOOL noRedraw) noexcept {
  Called("Site", LogCall("OnInPlaceDeactivateEx", {std::to_string(noRedraw)}));
  return S_OK;
}
HRESULT FakeContainer::RequestUIActivate() noexcept {
  Called("Site", LogCall("RequestUIActivate"));
  return S_OK;
}

// IOleControlSite
HRESULT FakeContainer::OnControlInfoChanged() noexcept {
  Called("Site", LogCall("OnControlInfoChanged"));
  return S_OK;
}
HRESULT FakeContainer::LockInPlaceActive(BOOL lock) noexcept {
  Called("Site", LogCall("LockInPlaceActive", {std::to_string(lock)}));
  return S_OK;
}
HRESULT FakeContainer::GetExtendedControl(IDispatch** control) noexcept {
  Called("Site", LogCall("GetExtendedControl"));
  if (control) *control = nullptr;
  return E_NOTIMPL;
}
HRESULT FakeContainer::TransformCoords(POINTL*, POINTF*, DWORD) noexcept {
  Called("Site", LogCall("TransformCoords"));
  return E_NOTIMPL;
}
HRESULT FakeContainer::TranslateAccelerator(MSG* message, DWORD modifiers) noexcept {
  Called("Site", LogCall("TranslateAccelerator",
                         {message ? Hex(message->message) : "null",
                          message ? Hex(static_cast<unsigned long>(message->wParam)) : "null",
                          std::to_string(modifiers)}));
  return translate_accelerator;
}
HRESULT FakeContainer::OnFocus(BOOL gotFocus) noexcept {
  Called("Site", LogCall("OnFocus", {std::to_string(gotFocus)}));
  return S_OK;
}
HRESULT FakeContainer::ShowPropertyFrame() noexcept {
  Called("Site", LogCall("ShowPropertyFrame"));
  return show_property_frame;
}

// IDispatch
HRESULT FakeContainer::GetTypeInfoCount(UINT* count) noexcept {
  Called("Site", LogCall("GetTypeInfoCount"));
  if (count) *count = 0;
  return S_OK;
}
HRESULT FakeContainer::GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept {
  Called("Site", LogCall("GetTypeInfo"));
  if (info) *info = nullptr;
  return E_NOTIMPL;
}
HRESULT FakeContainer::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept {
  Called("Site", LogCall("GetIDsOfNames"));
  return E_NOTIMPL;
}
HRESULT FakeContainer::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                              VARIANT* result, EXCEPINFO*, UINT*) noexcept {
  Called("Site", LogCall("Invoke", {std::to_string(id)}));
  EXPECT_TRUE(IsEqualIID(iid, IID_NULL));
  EXPECT_EQ(lcid, static_cast<LCID>(LOCALE_USER_DEFAULT));
  EXPECT_EQ(flags, DISPATCH_PROPERTYGET);
  EXPECT_TRUE(params && params->cArgs == 0 && params->cNamedArgs == 0);
  if (!result) return E_POINTER;
  switch (id) {
    case DISPID_AMBIENT_BACKCOLOR:
      if (FAILED(back_color_result)) return back_color_result;
      V_VT(result) = VT_I4;
      V_I4(result) = static_cast<LONG>(back_color);
      return S_OK;
    case DISPID_AMBIENT_USERMODE:
      if (FAILED(user_mode_result)) return user_mode_result;
      V_VT(result) = user_mode_type;
      V_BOOL(result) = user_mode;
      return S_OK;
    case DISPID_AMBIENT_LOCALEID:
      if (FAILED(locale_result)) return locale_result;
      V_VT(result) = VT_I4;
      V_I4(result) = static_cast<LONG>(locale);
      return S_OK;
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

// The frame and the UI window
HRESULT FakeFrame::QueryInterface(REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IOleWindow) &&
      !IsEqualIID(iid, IID_IOleInPlaceUIWindow) &&
      !(IsEqualIID(iid, IID_IOleInPlaceFrame) && std::string(name) == "Frame"))
    return E_NOINTERFACE;
  *object = static_cast<IOleInPlaceFrame*>(this);
  AddRef();
  return S_OK;
}
HRESULT FakeFrame::GetWindow(HWND* window) noexcept {
  container_.Called(name, LogCall("GetWindow"));
  if (!window) return E_POINTER;
  *window = container_.window;
  return S_OK;
}
HRESULT FakeFrame::ContextSensitiveHelp(BOOL) noexcept {
  container_.Called(name, LogCall("ContextSensitiveHelp"));
  return E_NOTIMPL;
}
HRESULT FakeFrame::GetBorder(LPRECT) noexcept {
  container_.Called(name, LogCall("GetBorder"));
  return E_NOTIMPL;
}
HRESULT FakeFrame::RequestBorderSpace(LPCBORDERWIDTHS widths) noexcept {
  container_.Called(name, LogCall("RequestBorderSpace", {Rect(widths)}));
  return S_OK;
}
HRESULT FakeFrame::SetBorderSpace(LPCBORDERWIDTHS widths) noexcept {
  container_.Called(name, LogCall("SetBorderSpace", {Rect(widths)}));
  return S_OK;
}
HRESULT FakeFrame::SetActiveObject(IOleInPlaceActiveObject* object,
                                        LPCOLESTR objectName) noexcept {
  container_.Called(name, LogCall("SetActiveObject", {container_.ObjectName(object),
                                                      objectName ? "name" : "null"}));
  return S_OK;
}
HRESULT FakeFrame::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) noexcept {
  container_.Called(name, LogCall("InsertMenus"));
  return E_NOTIMPL;
}
HRESULT FakeFrame::SetMenu(HMENU, HOLEMENU, HWND) noexcept {
  container_.Called(name, LogCall("SetMenu"));
  return E_NOTIMPL;
}
HRESULT FakeFrame::RemoveMenus(HMENU) noexcept {
  container_.Called(name, LogCall("RemoveMenus"));
  return E_NOTIMPL;
}
HRESULT FakeFrame::SetStatusText(LPCOLESTR) noexcept {
  container_.Called(name, LogCall("SetStatusText"));
  return S_OK;
}
HRESULT FakeFrame::EnableModeless(BOOL enable) noexcept {
  container_.Called(name, LogCall("EnableModeless", {std::to_string(enable)}));
  return S_OK;
}
HRESULT FakeFrame::TranslateAccelerator(LPMSG message, WORD) noexcept {
  container_.Called(name, LogCall("TranslateAccelerator"));
  return S_FALSE;
}
