// IOleObject, IOleControl, IQuickActivate and the in-place answers that need
// no hosting: registry lookups, extents, the client site and Close.
#include "control/control_fixture.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

using OleObjectTest = ControlTest;

TEST_F(OleObjectTest, RegistryAnswersMiscStatusUserTypeAndVerbs) {
  ComPtr<IOleObject> object = Query<IOleObject>();
  DWORD status = 0;
  ASSERT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
  EXPECT_EQ(status, 131473u);
  EXPECT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, nullptr), E_POINTER);

  LPOLESTR name = nullptr;
  ASSERT_EQ(object->GetUserType(USERCLASSTYPE_FULL, &name), S_OK);
  ASSERT_NE(name, nullptr);
  EXPECT_STREQ(name, L"Halvern ActivityCtrl Class");
  CoTaskMemFree(name);

  // No verbs are registered for the class; the platform's answer for that
  // differs (OLEOBJ_E_NOVERBS on Windows, REGDB_E_KEYMISSING under Wine).
  ComPtr<IEnumOLEVERB> verbs;
  const HRESULT none = OleRegEnumVerbs(CLSID_ActivityCtrl, verbs.out());
  EXPECT_TRUE(FAILED(none));
  EXPECT_EQ(object->EnumVerbs(verbs.out()), none);
  EXPECT_FALSE(verbs);
  EXPECT_EQ(object->EnumVerbs(nullptr), E_POINTER);

  CLSID clsid = {};
  EXPECT_EQ(object->GetUserClassID(&clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_ActivityCtrl));

  // Once unregistered, the lookups fail instead of inventing an answer.
  ASSERT_EQ(dll->unregister_server(), S_OK);
  EXPECT_TRUE(FAILED(object->GetMiscStatus(DVASPECT_CONTENT, &status)));
  ASSERT_EQ(dll->register_server(), S_OK);
}

TEST_F(OleObjectTest, ExtentStartsAtTheDialogSizeAndTakesOnlyContent) {
  ComPtr<IOleObject> object = Query<IOleObject>();
  const SIZEL expected = StartingExtent();
  EXPECT_NE(expected.cx, 5080) << "the page dialog could not be measured";
  SIZEL size = {};
  ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &size), S_OK);
  EXPECT_EQ(size.cx, expected.cx);
  EXPECT_EQ(size.cy, expected.cy);
  EXPECT_EQ(object->GetExtent(DVASPECT_ICON, &size), E_FAIL);
  EXPECT_EQ(object->GetExtent(DVASPECT_CONTENT, nullptr), E_POINTER);

  SIZEL wanted = {3000, 4000};
  EXPECT_EQ(object->SetExtent(DVASPECT_THUMBNAIL, &wanted), DV_E_DVASPECT);
  EXPECT_EQ(object->SetExtent(DVASPECT_CONTENT, nullptr), E_POINTER);
  ASSERT_EQ(object->SetExtent(DVASPECT_CONTENT, &wanted), S_OK);
  ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &size), S_OK);
  EXPECT_EQ(size.cx, 3000);
  EXPECT_EQ(size.cy, 4000);

  // IQuickActivate's content extent is the same value.
  ComPtr<IQuickActivate> quick = Query<IQuickActivate>();
  SIZEL content = {};
  ASSERT_EQ(quick->GetContentExtent(&content), S_OK);
  EXPECT_EQ(content.cx, 3000);
  SIZEL smaller = {10, 20};
  ASSERT_EQ(quick->SetContentExtent(&smaller), S_OK);
  ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &size), S_OK);
  EXPECT_EQ(size.cy, 20);
  EXPECT_EQ(quick->SetContentExtent(nullptr), E_POINTER);
}

TEST_F(OleObjectTest, ClientSiteAndItsAmbientDispatchAreCountedOnce) {
  ComPtr<IOleObject> object = Query<IOleObject>();
  FakeContainer ambient, plain;
  ambient.OfferOnlyTheClientSite();
  ambient.offer_ambient = true;
  plain.OfferOnlyTheClientSite();
  ASSERT_EQ(object->SetClientSite(ambient.site()), S_OK);
  EXPECT_EQ(ambient.refs.count, 3) << "the site and its IDispatch";
  ComPtr<IOleClientSite> site;
  ASSERT_EQ(object->GetClientSite(site.out()), S_OK);
  EXPECT_EQ(site.get(), ambient.site());
  site.reset();
  EXPECT_EQ(object->GetClientSite(nullptr), E_POINTER);

  ASSERT_EQ(object->SetClientSite(plain.site()), S_OK);
  EXPECT_EQ(ambient.refs.count, 1);
  EXPECT_EQ(plain.refs.count, 2);
  ASSERT_EQ(object->SetClientSite(nullptr), S_OK);
  EXPECT_EQ(plain.refs.count, 1);
  ASSERT_EQ(object->GetClientSite(site.out()), S_OK);
  EXPECT_FALSE(site);

  // A site still held at the last release is given back then.
  ASSERT_EQ(object->SetClientSite(ambient.site()), S_OK);
  object.reset();
  control.reset();
  EXPECT_EQ(ambient.refs.count, 1);
  EXPECT_TRUE(ambient.log.Matches({})) << "the control asked nothing of the site";
}

TEST_F(OleObjectTest, CloseSavesOnlyWhenDirtyAndAsked) {
  ComPtr<IOleObject> object = Query<IOleObject>();
  ComPtr<IViewObject> view = Query<IViewObject>();
  FakeContainer site;
  site.OfferOnlyTheClientSite();
  FakeAdviseSink ole_sink, view_sink;
  ASSERT_EQ(object->SetClientSite(site.site()), S_OK);
  DWORD connection = 0;
  ASSERT_EQ(object->Advise(&ole_sink, &connection), S_OK);
  EXPECT_NE(connection, 0u);

  // Clean: nothing to save whatever the option.
  EXPECT_EQ(object->Close(OLECLOSE_SAVEIFDIRTY), S_OK);
  EXPECT_TRUE(site.log.Matches({}));
  EXPECT_TRUE(ole_sink.log.Matches({}));

  ASSERT_EQ(Query<IPersistStreamInit>()->InitNew(), S_OK);
  EXPECT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
  EXPECT_TRUE(site.log.Matches({}));
  for (DWORD option : {DWORD(OLECLOSE_SAVEIFDIRTY), DWORD(OLECLOSE_PROMPTSAVE)}) {
    ASSERT_EQ(view->SetAdvise(DVASPECT_CONTENT, 0, &view_sink), S_OK);
    EXPECT_EQ(view_sink.count, 2);
    EXPECT_EQ(object->Close(option), S_OK);
    EXPECT_TRUE(site.log.Matches({"Site.SaveObject()"}));
    EXPECT_TRUE(ole_sink.log.Matches({"OnSave()"}));
    EXPECT_EQ(view_sink.count, 1) << "Close drops the view sink";
  }
  EXPECT_EQ(site.refs.count, 2) << "Close keeps the client site";

  EXPECT_EQ(object->Unadvise(connection), S_OK);
  EXPECT_EQ(ole_sink.count, 1);
  EXPECT_EQ(object->Unadvise(connection), OLE_E_NOCONNECTION);
  ASSERT_EQ(object->SetClientSite(nullptr), S_OK);
  EXPECT_EQ(site.refs.count, 1);
  EXPECT_TRUE(view_sink.log.Matches({}));
}

TEST_F(OleObjectTest, AnswersThatNeedNoWindow) {
  ComPtr<IOleObject> object = Query<IOleObject>();
  FakeContainer container, stranger;
  container.OfferOnlyTheClientSite();
  stranger.OfferOnlyTheClientSite();
  IOleClientSite* site = container.site();
  // Verbs: the active site must be the client site; the verbs that need no
  // window succeed, and activation fails without an in-place site.
  EXPECT_EQ(object->DoVerb(OLEIVERB_OPEN, nullptr, nullptr, 0, nullptr, nullptr), S_OK);
  ASSERT_EQ(object->SetClientSite(site), S_OK);
  EXPECT_EQ(object->DoVerb(OLEIVERB_OPEN, nullptr, nullptr, 0, nullptr, nullptr), E_UNEXPECTED);
  EXPECT_EQ(object->DoVerb(OLEIVERB_OPEN, nullptr, stranger.site(), 0, nullptr, nullptr),
            E_UNEXPECTED);
  EXPECT_EQ(object->DoVerb(OLEIVERB_DISCARDUNDOSTATE, nullptr, site, 0, nullptr, nullptr), S_OK);
  EXPECT_EQ(object->DoVerb(-8, nullptr, site, 0, nullptr, nullptr), E_NOTIMPL);
  EXPECT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, nullptr, nullptr),
            E_FAIL);
  EXPECT_EQ(stranger.refs.count, 1);
  EXPECT_TRUE(container.log.Matches({}));

  // No window before in-place activation, and nothing to deactivate.
  ComPtr<IOleInPlaceObject> in_place = Query<IOleInPlaceObject>();
  ComPtr<IOleInPlaceActiveObject> active = Query<IOleInPlaceActiveObject>();
  HWND window = reinterpret_cast<HWND>(1);
  EXPECT_EQ(in_place->GetWindow(&window), E_UNEXPECTED);
  EXPECT_EQ(window, nullptr);
  EXPECT_EQ(active->GetWindow(&window), E_UNEXPECTED);
  EXPECT_EQ(in_place->GetWindow(nullptr), E_POINTER);
  RECT rect = {0, 0, 10, 10};
  EXPECT_EQ(in_place->SetObjectRects(&rect, nullptr), E_POINTER);
  EXPECT_EQ(in_place->SetObjectRects(&rect, &rect), S_OK);
  MSG message = {};
  message.message = WM_KEYDOWN;
  message.wParam = VK_TAB;
  EXPECT_EQ(active->TranslateAccelerator(&message), S_FALSE) << "nothing is consumed";
  CONTROLINFO info = {};
  info.cb = sizeof info;
  EXPECT_EQ(Query<IOleControl>()->GetControlInfo(&info), E_NOTIMPL);
  ASSERT_EQ(object->SetClientSite(nullptr), S_OK);
}

TEST_F(OleObjectTest, QuickActivateTakesWhatTheContainerGivesAndFillsTheControl) {
  ComPtr<IQuickActivate> quick = Query<IQuickActivate>();
  FakeContainer site;
  site.OfferOnlyTheClientSite();
  site.offer_ambient = true;
  FakeAdviseSink view_sink;
  FakeEventSink events(DIID_IHvActivityCtrlEvents, true);

  // A container that knows only the members up to the event sink.
  QACONTAINER container;
  std::memset(&container, 0xCD, sizeof container);
  container.cbSize = offsetof(QACONTAINER, dwAmbientFlags);
  container.pClientSite = site.site();
  container.pAdviseSink = &view_sink;
  container.pPropertyNotifySink = nullptr;
  container.pUnkEventSink = &events;
  QACONTROL filled;
  std::memset(&filled, 0xCD, sizeof filled);
  filled.cbSize = sizeof filled;
  ASSERT_EQ(quick->QuickActivate(&container, &filled), S_OK);
  EXPECT_EQ(filled.cbSize, sizeof filled);
  EXPECT_EQ(filled.dwMiscStatus, 131473u);
  EXPECT_EQ(filled.dwViewStatus, 3u);
  EXPECT_NE(filled.dwEventCookie, 0u);
  EXPECT_EQ(filled.dwPropNotifyCookie, 0u);
  EXPECT_EQ(filled.dwPointerActivationPolicy, 0u);
  EXPECT_EQ(site.refs.count, 3);
  EXPECT_EQ(view_sink.count, 2);
  EXPECT_EQ(events.count, 2);

  ComPtr<IOleObject> object = Query<IOleObject>();
  ComPtr<IOleClientSite> kept;
  ASSERT_EQ(object->GetClientSite(kept.out()), S_OK);
  EXPECT_EQ(kept.get(), site.site());
  kept.reset();
  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(Query<IConnectionPointContainer>()->FindConnectionPoint(DIID_IHvActivityCtrlEvents,
                                                                    point.out()),
            S_OK);
  EXPECT_EQ(point->Unadvise(filled.dwEventCookie), S_OK);
  EXPECT_EQ(events.count, 1);

  // A shorter container: members beyond its size are not even read.
  FakeContainer other;
  other.OfferOnlyTheClientSite();
  container.cbSize = offsetof(QACONTAINER, pAdviseSink);
  container.pClientSite = other.site();
  container.pUnkEventSink = reinterpret_cast<IUnknown*>(static_cast<std::uintptr_t>(0xDEADBEEF));
  ASSERT_EQ(quick->QuickActivate(&container, &filled), S_OK);
  EXPECT_EQ(filled.dwEventCookie, 0u);
  EXPECT_EQ(site.refs.count, 1);
  EXPECT_EQ(other.refs.count, 2);
  EXPECT_EQ(view_sink.count, 2) << "the view sink from before stays";

  EXPECT_EQ(quick->QuickActivate(nullptr, &filled), E_POINTER);
  EXPECT_EQ(quick->QuickActivate(&container, nullptr), E_POINTER);
  object.reset();
  point.reset();
  quick.reset();
  control.reset();
  EXPECT_EQ(other.refs.count, 1);
  EXPECT_EQ(view_sink.count, 1);
}
