// The control's COM identity through the DLL's class object: COM's rules for
// QueryInterface, every interface a container uses answering its own methods,
// the aggregated form and the module lock.
#include "control/control_fixture.h"

#include "common/counting_unknown.h"
#include "control/create_activity_ctrl.h"
#include "framework/com_module.h"

#include <functional>
#include <vector>

namespace {

void* QueryRaw(IUnknown* object, const IID& iid, HRESULT expected) {
  void* found = reinterpret_cast<void*>(1);
  EXPECT_EQ(object->QueryInterface(iid, &found), expected);
  return found;
}

// The GUID a type description describes, or GUID_NULL.
GUID DescribedGuid(ITypeInfo* info) {
  GUID guid = GUID_NULL;
  TYPEATTR* attributes = nullptr;
  if (info && SUCCEEDED(info->GetTypeAttr(&attributes))) {
    guid = attributes->guid;
    info->ReleaseTypeAttr(attributes);
  }
  return guid;
}

// One interface a container or host reaches the control through, with a call
// that only that interface's method table answers this way: a table entry
// that hands out the wrong part of the object fails its probe.
struct Contracted {
  const char* name;
  const IID* iid;
  std::function<void(IUnknown* found, const SIZEL& starting_extent)> probe;
};

template <class Interface>
Interface* As(IUnknown* found) {
  return static_cast<Interface*>(found);
}

void ProbeDispatch(IUnknown* found, const SIZEL&) {
  UINT count = 0;
  ASSERT_EQ(As<IDispatch>(found)->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(As<IDispatch>(found)->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.out()), S_OK);
  EXPECT_TRUE(IsEqualGUID(DescribedGuid(info.get()), IID_IHvActivityCtrl));
}

void ProbeViewExtent(IUnknown* found, const SIZEL& starting_extent) {
  SIZEL extent = {};
  ASSERT_EQ(As<IViewObject2>(found)->GetExtent(DVASPECT_CONTENT, -1, nullptr, &extent), S_OK);
  EXPECT_EQ(extent.cx, starting_extent.cx);
  EXPECT_EQ(extent.cy, starting_extent.cy);
}

void ProbeWindow(IUnknown* found, const SIZEL&) {
  HWND window = reinterpret_cast<HWND>(1);
  EXPECT_EQ(As<IOleWindow>(found)->GetWindow(&window), E_UNEXPECTED) << "no window yet";
  EXPECT_EQ(window, nullptr);
  EXPECT_EQ(As<IOleWindow>(found)->GetWindow(nullptr), E_POINTER);
}

void ProbePersist(IUnknown* found, const SIZEL&) {
  CLSID clsid = GUID_NULL;
  ASSERT_EQ(As<IPersist>(found)->GetClassID(&clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_ActivityCtrl));
}

const std::vector<Contracted>& ContractedInterfaces() {
  static const std::vector<Contracted> kInterfaces = {
      {"IHvActivityCtrl", &IID_IHvActivityCtrl, ProbeDispatch},
      {"IDispatch", &IID_IDispatch, ProbeDispatch},
      {"IViewObjectEx", &IID_IViewObjectEx,
       [](IUnknown* found, const SIZEL&) {
         DWORD status = 0;
         ASSERT_EQ(As<IViewObjectEx>(found)->GetViewStatus(&status), S_OK);
         EXPECT_EQ(status, static_cast<DWORD>(VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND));
       }},
      {"IViewObject2", &IID_IViewObject2, ProbeViewExtent},
      {"IViewObject", &IID_IViewObject,
       [](IUnknown* found, const SIZEL&) {
         DWORD aspects = 99, flags = 99;
         ComPtr<IAdviseSink> sink;
         ASSERT_EQ(As<IViewObject>(found)->GetAdvise(&aspects, &flags, sink.out()), S_OK);
         EXPECT_FALSE(sink) << "no view sink was set";
       }},
      {"IOleInPlaceObjectWindowless", &IID_IOleInPlaceObjectWindowless,
       [](IUnknown* found, const SIZEL&) {
         IDropTarget* target = reinterpret_cast<IDropTarget*>(1);
         EXPECT_EQ(As<IOleInPlaceObjectWindowless>(found)->GetDropTarget(&target), E_NOTIMPL);
         EXPECT_EQ(target, nullptr);
       }},
      {"IOleInPlaceObject", &IID_IOleInPlaceObject,
       [](IUnknown* found, const SIZEL&) {
         const RECT rect = {0, 0, 10, 10};
         EXPECT_EQ(As<IOleInPlaceObject>(found)->SetObjectRects(&rect, nullptr), E_POINTER);
         EXPECT_EQ(As<IOleInPlaceObject>(found)->SetObjectRects(&rect, &rect), S_OK);
       }},
      {"IOleWindow", &IID_IOleWindow, ProbeWindow},
      {"IOleInPlaceActiveObject", &IID_IOleInPlaceActiveObject,
       [](IUnknown* found, const SIZEL& extent) {
         ProbeWindow(found, extent);
         MSG message = {};
         message.message = WM_KEYDOWN;
         message.wParam = VK_TAB;
         EXPECT_EQ(As<IOleInPlaceActiveObject>(found)->TranslateAccelerator(&message), S_FALSE);
       }},
      {"IOleControl", &IID_IOleControl,
       [](IUnknown* found, const SIZEL&) {
         CONTROLINFO info = {};
         info.cb = sizeof info;
         EXPECT_EQ(As<IOleControl>(found)->GetControlInfo(&info), E_NOTIMPL);
         EXPECT_EQ(As<IOleControl>(found)->FreezeEvents(TRUE), S_OK);
         EXPECT_EQ(As<IOleControl>(found)->FreezeEvents(FALSE), S_OK);
       }},
      {"IOleObject", &IID_IOleObject,
       [](IUnknown* found, const SIZEL& starting_extent) {
         CLSID clsid = GUID_NULL;
         ASSERT_EQ(As<IOleObject>(found)->GetUserClassID(&clsid), S_OK);
         EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_ActivityCtrl));
         SIZEL extent = {};
         ASSERT_EQ(As<IOleObject>(found)->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
         EXPECT_EQ(extent.cx, starting_extent.cx);
       }},
      {"IPersistStreamInit", &IID_IPersistStreamInit,
       [](IUnknown* found, const SIZEL& extent) {
         ProbePersist(found, extent);
         ULARGE_INTEGER size = {};
         ASSERT_EQ(As<IPersistStreamInit>(found)->GetSizeMax(&size), S_OK);
         EXPECT_EQ(size.QuadPart, 12u);
       }},
      {"IPersist", &IID_IPersist, ProbePersist},
      {"ISupportErrorInfo", &IID_ISupportErrorInfo,
       [](IUnknown* found, const SIZEL&) {
         auto* errors = As<ISupportErrorInfo>(found);
         EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID_IHvActivityCtrl), S_OK);
         EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID_IOleObject), S_FALSE);
       }},
      {"IConnectionPointContainer", &IID_IConnectionPointContainer,
       [](IUnknown* found, const SIZEL&) {
         ComPtr<IConnectionPoint> point;
         EXPECT_EQ(As<IConnectionPointContainer>(found)->FindConnectionPoint(
                       DIID_IHvActivityCtrlEvents, point.out()),
                   S_OK);
         EXPECT_TRUE(point);
       }},
      {"ISpecifyPropertyPages", &IID_ISpecifyPropertyPages,
       [](IUnknown* found, const SIZEL&) {
         CAUUID pages = {99, nullptr};
         ASSERT_EQ(As<ISpecifyPropertyPages>(found)->GetPages(&pages), S_OK);
         EXPECT_EQ(pages.cElems, 0u);
         CoTaskMemFree(pages.pElems);
       }},
      {"IQuickActivate", &IID_IQuickActivate,
       [](IUnknown* found, const SIZEL& starting_extent) {
         SIZEL extent = {};
         ASSERT_EQ(As<IQuickActivate>(found)->GetContentExtent(&extent), S_OK);
         EXPECT_EQ(extent.cx, starting_extent.cx);
         EXPECT_EQ(extent.cy, starting_extent.cy);
       }},
      {"IPersistStorage", &IID_IPersistStorage,
       [](IUnknown* found, const SIZEL& extent) {
         ProbePersist(found, extent);
         // In IPersistStreamInit's table this slot is InitNew, which would
         // make the new object dirty.
         ASSERT_EQ(As<IPersistStorage>(found)->IsDirty(), S_FALSE);
         EXPECT_EQ(As<IPersistStorage>(found)->SaveCompleted(nullptr), S_OK);
         EXPECT_EQ(As<IPersistStorage>(found)->IsDirty(), S_FALSE);
       }},
      {"IDataObject", &IID_IDataObject,
       [](IUnknown* found, const SIZEL&) {
         FORMATETC format = {CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT};
         STGMEDIUM medium = {};
         ASSERT_EQ(As<IDataObject>(found)->GetData(&format, &medium), S_OK);
         EXPECT_EQ(medium.tymed, static_cast<DWORD>(TYMED_MFPICT));
         ReleaseStgMedium(&medium);
       }},
      {"IProvideClassInfo2", &IID_IProvideClassInfo2,
       [](IUnknown* found, const SIZEL&) {
         GUID events = GUID_NULL;
         ASSERT_EQ(As<IProvideClassInfo2>(found)->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID,
                                                          &events),
                   S_OK);
         EXPECT_TRUE(IsEqualGUID(events, DIID_IHvActivityCtrlEvents));
       }},
      {"IProvideClassInfo", &IID_IProvideClassInfo,
       [](IUnknown* found, const SIZEL&) {
         ComPtr<ITypeInfo> info;
         ASSERT_EQ(As<IProvideClassInfo>(found)->GetClassInfo(info.out()), S_OK);
         EXPECT_TRUE(IsEqualGUID(DescribedGuid(info.get()), CLSID_ActivityCtrl));
       }},
      {"IHpAdviseEvents", &IID_IHpAdviseEvents,
       [](IUnknown* found, const SIZEL&) {
         EXPECT_EQ(As<IHpAdviseEvents>(found)->AdviseEvent(0), E_NOINTERFACE);
       }},
      {"IHvProjectList", &IID_IHvProjectList,
       [](IUnknown* found, const SIZEL&) {
         BSTR name = nullptr;
         ASSERT_EQ(As<IHvProjectList>(found)->GetDefaultRecordType(&name), S_OK);
         EXPECT_STREQ(name, L"Default Change Request") << "no host: the resource default";
         SysFreeString(name);
       }},
  };
  return kInterfaces;
}

// Interfaces a control may have but this one must refuse, and some it never could.
const IID* const kRefused[] = {
    &IID_IPersistPropertyBag, &IID_IPointerInactive, &IID_IPropertyNotifySink,
    &IID_IOleInPlaceSite,     &IID_IClassFactory,    &IID_IPersistFile,
    &IID_IRunnableObject,     &IID_IConnectionPoint, &IID_IOleCache,
    &IID_IOleInPlaceFrame,    &IID_IMoniker,         &IID_IStream,
};

}  // namespace

using IdentityTest = ControlTest;

TEST_F(IdentityTest, EveryInterfaceLeadsBackToTheOneIdentity) {
  const ULONG base = References(control.get());
  EXPECT_EQ(base, 1u);
  for (const Contracted& entry : ContractedInterfaces()) {
    SCOPED_TRACE(entry.name);
    auto* found = static_cast<IUnknown*>(QueryRaw(control.get(), *entry.iid, S_OK));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(References(control.get()), base + 1) << "counted on the object";
    IUnknown* identity = nullptr;
    ASSERT_EQ(found->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, control.get());
    identity->Release();
    found->Release();
  }
  EXPECT_EQ(References(control.get()), base);
}

// Reflexive (an interface finds itself, as the same pointer), symmetric and
// transitive: from any interface every other one is reached, and the one
// reached is the same whichever way it was.
TEST_F(IdentityTest, QueryInterfaceIsReflexiveSymmetricAndTransitive) {
  const ULONG base = References(control.get());
  const std::vector<Contracted>& all = ContractedInterfaces();
  std::vector<IUnknown*> direct;
  for (const Contracted& entry : all)
    direct.push_back(static_cast<IUnknown*>(QueryRaw(control.get(), *entry.iid, S_OK)));
  for (std::size_t from = 0; from < all.size(); ++from) {
    ASSERT_NE(direct[from], nullptr) << all[from].name;
    for (std::size_t to = 0; to < all.size(); ++to) {
      SCOPED_TRACE(std::string(all[from].name) + " -> " + all[to].name);
      auto* reached = static_cast<IUnknown*>(QueryRaw(direct[from], *all[to].iid, S_OK));
      ASSERT_NE(reached, nullptr);
      EXPECT_EQ(reached, direct[to]);
      reached->Release();
    }
  }
  for (IUnknown* found : direct) found->Release();
  EXPECT_EQ(References(control.get()), base);
}

TEST_F(IdentityTest, EachInterfaceAnswersItsOwnMethods) {
  const SIZEL starting_extent = StartingExtent();
  for (const Contracted& entry : ContractedInterfaces()) {
    SCOPED_TRACE(entry.name);
    ComPtr<IUnknown> found;
    ASSERT_EQ(control->QueryInterface(*entry.iid, found.out_void()), S_OK);
    entry.probe(found.get(), starting_extent);
  }
}

TEST_F(IdentityTest, UnknownInterfacesAreRefusedWithoutAReference) {
  const ULONG base = References(control.get());
  GUID made_up = GUID_NULL;
  ASSERT_EQ(CoCreateGuid(&made_up), S_OK);
  for (const IID* iid : kRefused) {
    EXPECT_EQ(QueryRaw(control.get(), *iid, E_NOINTERFACE), nullptr);
    // Refused from every interface alike.
    ComPtr<IOleObject> object = Query<IOleObject>();
    EXPECT_EQ(QueryRaw(object.get(), *iid, E_NOINTERFACE), nullptr);
  }
  EXPECT_EQ(QueryRaw(control.get(), made_up, E_NOINTERFACE), nullptr);
  EXPECT_EQ(QueryRaw(control.get(), IID_NULL, E_NOINTERFACE), nullptr);
  EXPECT_EQ(control->QueryInterface(IID_IOleObject, nullptr), E_POINTER);
  EXPECT_EQ(References(control.get()), base);
}

TEST_F(IdentityTest, EachObjectHoldsOneModuleLockUntilItsLastRelease) {
  EXPECT_EQ(dll->can_unload_now(), S_FALSE);
  ComPtr<IUnknown> second = NewControl();
  ASSERT_TRUE(second);
  EXPECT_NE(second.get(), control.get());
  factory.reset();
  control.reset();
  EXPECT_EQ(dll->can_unload_now(), S_FALSE) << "the second control still holds its lock";
  // A last reference held through another interface still counts.
  ComPtr<IOleObject> object = Query<IOleObject>(second.get());
  second.reset();
  EXPECT_EQ(dll->can_unload_now(), S_FALSE);
  object.reset();
  EXPECT_EQ(dll->can_unload_now(), S_OK);
}

TEST_F(IdentityTest, AggregatedObjectDelegatesToItsOuterUnknown) {
  FakeOuter outer;
  void* refused = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->CreateInstance(&outer, IID_IOleObject, &refused), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(refused, nullptr);

  ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)),
            S_OK);
  ASSERT_NE(outer.inner, nullptr);
  EXPECT_NE(outer.inner, static_cast<IUnknown*>(&outer));
  EXPECT_EQ(outer.count, 1) << "creation takes no reference on the outer object";
  EXPECT_EQ(References(outer.inner), 1u);

  // The inner unknown answers IUnknown with itself, everything else counted
  // on the outer object.
  EXPECT_EQ(QueryRaw(outer.inner, IID_IUnknown, S_OK), outer.inner);
  outer.inner->Release();
  auto* object = static_cast<IOleObject*>(QueryRaw(outer.inner, IID_IOleObject, S_OK));
  EXPECT_EQ(outer.count, 2);
  EXPECT_EQ(References(outer.inner), 1u);

  // Every interface's IUnknown is the outer object's.
  const int queries = outer.queries;
  void* identity = QueryRaw(object, IID_IUnknown, S_OK);
  EXPECT_EQ(identity, static_cast<IUnknown*>(&outer));
  EXPECT_EQ(outer.queries, queries + 1);
  outer.Release();
  ComPtr<IPersistStreamInit> persist;
  EXPECT_EQ(object->QueryInterface(IID_IPersistStreamInit, persist.out_void()), S_OK);
  EXPECT_EQ(outer.queries, queries + 2);
  EXPECT_EQ(outer.count, 3);
  persist.reset();
  object->AddRef();
  EXPECT_EQ(outer.count, 3);
  object->Release();
  object->Release();
  EXPECT_EQ(outer.count, 1);

  // The connection point counts on the aggregate too.
  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(outer.inner->QueryInterface(IID_IConnectionPointContainer, container.out_void()),
            S_OK);
  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(container->FindConnectionPoint(DIID_IHvActivityCtrlEvents, point.out()), S_OK);
  EXPECT_EQ(outer.count, 3);
  point.reset();
  container.reset();
  EXPECT_EQ(outer.count, 1);

  EXPECT_EQ(dll->can_unload_now(), S_FALSE);
  EXPECT_EQ(outer.inner->Release(), 0u);
  outer.inner = nullptr;
  EXPECT_EQ(outer.count, 1) << "AddRef " << outer.add_refs << ", Release " << outer.releases;
  EXPECT_EQ(outer.add_refs, outer.releases);
}

// The control made directly, as the class object makes it: the arguments it
// refuses and the one identity behind its host interfaces.
TEST(CreateActivityCtrlTest, ArgumentsAndIdentity) {
  const LONG locks = ThisModule().GetLockCount();
  EXPECT_EQ(CreateActivityCtrl(nullptr, GetModuleHandleA(nullptr), IID_IUnknown, nullptr), E_POINTER);

  void* object = reinterpret_cast<void*>(1);
  CountingUnknown outer;
  EXPECT_EQ(CreateActivityCtrl(&outer, GetModuleHandleA(nullptr), IID_IHpAdviseEvents, &object), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(outer.add_refs, 0);

  object = reinterpret_cast<void*>(1);
  EXPECT_EQ(CreateActivityCtrl(nullptr, GetModuleHandleA(nullptr), IID_IPersistPropertyBag, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(ThisModule().GetLockCount(), locks) << "a failed query destroys the new object";

  IUnknown* unknown = nullptr;
  ASSERT_EQ(CreateActivityCtrl(nullptr, GetModuleHandleA(nullptr), IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  EXPECT_EQ(ThisModule().GetLockCount(), locks + 1);
  IHpAdviseEvents* advise = nullptr;
  IHvProjectList* project = nullptr;
  ASSERT_EQ(unknown->QueryInterface(IID_IHpAdviseEvents, reinterpret_cast<void**>(&advise)), S_OK);
  ASSERT_EQ(advise->QueryInterface(IID_IHvProjectList, reinterpret_cast<void**>(&project)), S_OK);
  // Every interface leads back to the one IUnknown.
  IUnknown* again = nullptr;
  ASSERT_EQ(project->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&again)), S_OK);
  EXPECT_EQ(again, unknown);
  EXPECT_EQ(again->Release(), 3u);
  EXPECT_EQ(project->QueryInterface(IID_IHvProjectList, nullptr), E_POINTER);
  // Answers that are the whole behaviour of their methods.
  EXPECT_EQ(advise->AdviseEvent(-1), E_NOINTERFACE);
  EXPECT_EQ(project->SetPageContext(3), E_NOTIMPL);
  EXPECT_EQ(project->DisableOrveltPage(), E_NOTIMPL);
  EXPECT_EQ(project->Release(), 2u);
  EXPECT_EQ(advise->Release(), 1u);
  EXPECT_EQ(unknown->Release(), 0u);
  EXPECT_EQ(ThisModule().GetLockCount(), locks);
}
