#pragma once
// CActivityCtrl: the activity page as an OLE control. It answers the
// container's OLE interfaces (control/*.cpp), keeps its extent, dirty flag,
// client site and advise sinks, and persists its extent. It owns the page
// (ActivityPage), whose dialog is the control window, and passes
// IHpAdviseEvents and IHvProjectList on to it; the in-place hosting answers
// the window messages the page leaves alone. Single-threaded: every call and
// message arrives on the thread that created it, and the reference count is
// not atomic.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "control/control_ids.h"
#include "control/create_activity_ctrl.h"
#include "control/initial_extent.h"
#include "control/project_list_impl.h"
#include "framework/com_ptr.h"
#include "framework/connection_point.h"
#include "framework/in_place_hosting.h"
#include "framework/module_lock.h"
#include "include/PellwickHost.h"
#include "page/activity_page.h"

class CActivityCtrl : public EmptyDualDispatch<IHvActivityCtrl, g_activity_ctrl_dispatch_info>,
                      public IPersistStreamInit,
                      public IOleControl,
                      public IOleObject,
                      public IOleInPlaceActiveObject,
                      public IViewObjectEx,
                      public IOleInPlaceObjectWindowless,
                      public ISupportErrorInfo,
                      public IConnectionPointContainer,
                      public IPersistStorage,
                      public ISpecifyPropertyPages,
                      public IQuickActivate,
                      public IDataObject,
                      public IProvideClassInfo2,
                      public IHpAdviseEvents,
                      public CProjectListImpl,
                      public InPlaceOwner,
                      public PageOwner {
 public:
  // `outer` is the controlling unknown of an aggregate, or null for a plain
  // object. Dialog 104 and the strings come from `resources`. The object
  // starts with no references (see InnerUnknown()).
  CActivityCtrl(IUnknown* outer, HMODULE resources) noexcept;
  virtual ~CActivityCtrl();

  // The non-delegating IUnknown: it answers the interface table and counts
  // the object's own references. For a plain object it is also the identity.
  IUnknown* InnerUnknown() noexcept { return &inner_; }

  // IUnknown of every interface: delegates to the controlling unknown
  // (control/identity.cpp).
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;

  // IPersist, IPersistStreamInit, IPersistStorage (control/persistence.cpp)
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) noexcept override;
  HRESULT STDMETHODCALLTYPE IsDirty() noexcept override;
  HRESULT STDMETHODCALLTYPE Load(IStream* stream) noexcept override;
  HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clearDirty) noexcept override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) noexcept override;
  HRESULT STDMETHODCALLTYPE InitNew() noexcept override;
  HRESULT STDMETHODCALLTYPE InitNew(IStorage* storage) noexcept override;
  HRESULT STDMETHODCALLTYPE Load(IStorage* storage) noexcept override;
  HRESULT STDMETHODCALLTYPE Save(IStorage* storage, BOOL sameAsLoad) noexcept override;
  HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage* storage) noexcept override;
  HRESULT STDMETHODCALLTYPE HandsOffStorage() noexcept override;

  // IOleControl (control/ole_control.cpp)
  HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) noexcept override;
  HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* message) noexcept override;
  HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) noexcept override;
  HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) noexcept override;

  // IOleObject (control/ole_object.cpp)
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) noexcept override;
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) noexcept override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR app, LPCOLESTR object) noexcept override;
  HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) noexcept override;
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD which, IMoniker* moniker) noexcept override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which,
                                       IMoniker** moniker) noexcept override;
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* data, BOOL creation,
                                         DWORD reserved) noexcept override;
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD reserved, IDataObject** data) noexcept override;
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG message, IOleClientSite* activeSite,
                                   LONG index, HWND parent, LPCRECT position) noexcept override;
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) noexcept override;
  HRESULT STDMETHODCALLTYPE Update() noexcept override;
  HRESULT STDMETHODCALLTYPE IsUpToDate() noexcept override;
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) noexcept override;
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* name) noexcept override;
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) noexcept override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) noexcept override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) noexcept override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) noexcept override;
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advises) noexcept override;
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) noexcept override;
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* palette) noexcept override;

  // IOleWindow, IOleInPlaceActiveObject, IOleInPlaceObject(Windowless)
  // (control/in_place.cpp): forwarded to the in-place hosting.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) noexcept override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) noexcept override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) noexcept override;
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) noexcept override;
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) noexcept override;
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window,
                                         BOOL frame) noexcept override;
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) noexcept override;
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() noexcept override;
  HRESULT STDMETHODCALLTYPE UIDeactivate() noexcept override;
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) noexcept override;
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() noexcept override;
  HRESULT STDMETHODCALLTYPE OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                            LRESULT* result) noexcept override;
  HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget** target) noexcept override;

  // IViewObject, IViewObject2, IViewObjectEx (control/view_object.cpp)
  HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspectInfo,
                                 DVTARGETDEVICE* device, HDC targetDc, HDC drawDc,
                                 LPCRECTL bounds, LPCRECTL windowBounds,
                                 BOOL(STDMETHODCALLTYPE* proceed)(ULONG_PTR),
                                 ULONG_PTR proceedArgument) noexcept override;
  HRESULT STDMETHODCALLTYPE GetColorSet(DWORD aspect, LONG index, void* aspectInfo,
                                        DVTARGETDEVICE* device, HDC targetDc,
                                        LOGPALETTE** colors) noexcept override;
  HRESULT STDMETHODCALLTYPE Freeze(DWORD aspect, LONG index, void* aspectInfo,
                                   DWORD* freeze) noexcept override;
  HRESULT STDMETHODCALLTYPE Unfreeze(DWORD freeze) noexcept override;
  HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags,
                                      IAdviseSink* sink) noexcept override;
  HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags,
                                      IAdviseSink** sink) noexcept override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device,
                                      LPSIZEL size) noexcept override;
  HRESULT STDMETHODCALLTYPE GetRect(DWORD aspect, LPRECTL rect) noexcept override;
  HRESULT STDMETHODCALLTYPE GetViewStatus(DWORD* status) noexcept override;
  HRESULT STDMETHODCALLTYPE QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT location,
                                          LONG closeHint, DWORD* hit) noexcept override;
  HRESULT STDMETHODCALLTYPE QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT location,
                                         LONG closeHint, DWORD* hit) noexcept override;
  HRESULT STDMETHODCALLTYPE GetNaturalExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device,
                                             HDC targetInfo, DVEXTENTINFO* extentInfo,
                                             LPSIZEL size) noexcept override;

  // ISupportErrorInfo, ISpecifyPropertyPages, IProvideClassInfo2
  // (control/class_info.cpp)
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) noexcept override;
  HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pages) noexcept override;
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) noexcept override;
  HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) noexcept override;

  // IConnectionPointContainer (control/connection_points.cpp)
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) noexcept override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid,
                                                IConnectionPoint** point) noexcept override;

  // IQuickActivate (control/quick_activate.cpp)
  HRESULT STDMETHODCALLTYPE QuickActivate(QACONTAINER* container,
                                          QACONTROL* control) noexcept override;
  HRESULT STDMETHODCALLTYPE SetContentExtent(LPSIZEL size) noexcept override;
  HRESULT STDMETHODCALLTYPE GetContentExtent(LPSIZEL size) noexcept override;

  // IDataObject (control/data_object.cpp)
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) noexcept override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) noexcept override;
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) noexcept override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in,
                                                  FORMATETC* out) noexcept override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium,
                                    BOOL release) noexcept override;
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction,
                                          IEnumFORMATETC** formats) noexcept override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                                    DWORD* connection) noexcept override;
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) noexcept override;
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advises) noexcept override;

  // IHpAdviseEvents and IHvProjectList: passed on to the page (activity_ctrl.cpp).
  HRESULT STDMETHODCALLTYPE AdviseEvent(LONG event) noexcept override;
  HRESULT STDMETHODCALLTYPE SetActivityHost(IHvActivityHost* host) noexcept override;

  HRESULT STDMETHODCALLTYPE SetPageContext(short nPageID) noexcept override;
  HRESULT STDMETHODCALLTYPE DataBaseOpened(BSTR bstrDataBase) noexcept override;
  HRESULT STDMETHODCALLTYPE RefreshMRUs() noexcept override;
  HRESULT STDMETHODCALLTYPE GetDefaultRecordType(BSTR* pbstrDefRecType) noexcept override;
  HRESULT STDMETHODCALLTYPE SubmitDefaultRecordType() noexcept override;
  HRESULT STDMETHODCALLTYPE RunDefaultQuery() noexcept override;
  HRESULT STDMETHODCALLTYPE DisableOrveltPage() noexcept override;

  // What the in-place hosting asks of the control (control/in_place.cpp).
  // The control window is the page dialog, created hidden (page_window.cpp);
  // the hosting colours and shows it.
  IOleClientSite* HostingClientSite() noexcept override { return client_site_.get(); }
  IDispatch* HostingAmbientDispatch() noexcept override { return ambient_dispatch_.get(); }
  IUnknown* HostingIdentity() noexcept override { return controlling_; }
  IUnknown* HostingLifetime() noexcept override { return Lifetime(); }
  IOleInPlaceActiveObject* HostingActiveObject() noexcept override { return this; }
  HWND ControlWindow() noexcept override { return page_.window(); }
  HWND CreateControlWindow(HWND parent) noexcept override {
    return page_.CreatePageWindow(parent);
  }
  void DestroyControlWindow() noexcept override { page_.DestroyPageWindow(); }
  void HostingViewChanged() noexcept override;

  // What the page asks of the control: its identity keeps it alive, and the
  // hosting answers what the page's own map leaves alone.
  IUnknown* PageLifetime() noexcept override { return Lifetime(); }
  BOOL OnUnhandledPageMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) noexcept override {
    return hosting_.ProcessMessage(window, message, wParam, lParam, result);
  }

 private:
  // The non-delegating IUnknown of an aggregate (control/identity.cpp).
  class Inner final : public IUnknown {
   public:
    explicit Inner(CActivityCtrl* owner) noexcept : owner_(owner) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override;
    ULONG STDMETHODCALLTYPE Release() noexcept override;

   private:
    CActivityCtrl* owner_;
  };

  // The identity, whose references keep the object alive; null once the
  // object is being destroyed, when a reference taken and given back would
  // start the destruction of an aggregate's outer object a second time.
  IUnknown* Lifetime() noexcept { return destroying_ ? nullptr : controlling_; }
  // A reference for the length of a call out of the control: the container
  // or host may drop every other one from inside any callback.
  ComPtr<IUnknown> KeepAlive() noexcept { return ComPtr<IUnknown>(Lifetime()); }

  // Where IOleObject::SetExtent and IQuickActivate::SetContentExtent meet.
  HRESULT SetContentSize(DWORD aspect, const SIZEL* size) noexcept;
  // The OLE and data advise holders, made on first use; null when they
  // cannot be made.
  IOleAdviseHolder* OleAdviseHolder() noexcept;
  IDataAdviseHolder* DataAdviseHolder() noexcept;

  ModuleLockHolder module_lock_;
  ULONG references_ = 0;
  Inner inner_;
  IUnknown* controlling_;  // the outer unknown, or &inner_; not counted
  bool destroying_ = false;

  // Control state.
  ControlExtent Extent;
  const SIZEL NaturalExtent;
  bool Dirty = false;
  LONG FreezeCount = 0;

  // What the container handed over; each one counted.
  ComPtr<IOleClientSite> client_site_;
  ComPtr<IDispatch> ambient_dispatch_;
  ComPtr<IAdviseSink> view_sink_;
  DWORD view_aspects_ = 0;
  DWORD view_flags_ = 0;
  ComPtr<IOleAdviseHolder> ole_advise_holder_;
  ComPtr<IDataAdviseHolder> data_advise_holder_;

  // The one connection point, for _IHvActivityCtrlEvents.
  ConnectionPoint events_;

  // The page dialog and its state. Before the hosting, which goes first.
  ActivityPage page_;

  // Activation, placement, background, focus and keyboard of the control
  // window. Declared last: it is gone before the state it reads.
  InPlaceHosting hosting_{*this};
};
