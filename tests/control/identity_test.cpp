// The control's COM identity through the DLL's class object: COM's rules for
// QueryInterface, every interface a container uses answering its own methods,
// the aggregated form and the module lock.
#include "control/control_fixture.h"

#include "common/counting_unknown.h"
#include "control/create_activity_ctrl.h"
#include "framework/com_module.h"

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

// Every interface a container or host reaches the control through.
struct Contracted {
  const char* name;
  const IID* iid;
};
const Contracted kContracted[] = {
    {"IHvActivityCtrl", &IID_IHvActivityCtrl},
    {"IDispatch", &IID_IDispatch},
    {"IViewObjectEx", &IID_IViewObjectEx},
    {"IViewObject2", &IID_IViewObject2},
    {"IViewObject", &IID_IViewObject},
    {"IOleInPlaceObjectWindowless", &IID_IOleInPlaceObjectWindowless},
    {"IOleInPlaceObject", &IID_IOleInPlaceObject},
    {"IOleWindow", &IID_IOleWindow},
    {"IOleInPlaceActiveObject", &IID_IOleInPlaceActiveObject},
    {"IOleControl", &IID_IOleControl},
    {"IOleObject", &IID_IOleObject},
    {"IPersistStreamInit", &IID_IPersistStreamInit},
    {"IPersist", &IID_IPersist},
    {"ISupportErrorInfo", &IID_ISupportErrorInfo},
    {"IConnectionPointContainer", &IID_IConnectionPointContainer},
    {"ISpecifyPropertyPages", &IID_ISpecifyPropertyPages},
    {"IQuickActivate", &IID_IQuickActivate},
    {"IPersistStorage", &IID_IPersistStorage},
    {"IDataObject", &IID_IDataObject},
    {"IProvideClassInfo2", &IID_IProvideClassInfo2},
    {"IProvideClassInfo", &IID_IProvideClassInfo},
    {"IHpAdviseEvents", &IID_IHpAdviseEvents},
    {"IHvProjectList", &IID_IHvProjectList},
};

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
  for (const Contracted& entry : kContracted) {
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
  std::vector<IUnknown*> direct;
  for (const Contracted& entry : kContracted)
    direct.push_back(static_cast<IUnknown*>(QueryRaw(control.get(), *entry.iid, S_OK)));
  for (std::size_t from = 0; from < direct.size(); ++from) {
    ASSERT_NE(direct[from], nullptr) << kContracted[from].name;
    for (std::size_t to = 0; to < direct.size(); ++to) {
      SCOPED_TRACE(std::string(kContracted[from].name) + " -> " + kContracted[to].name);
      auto* reached = static_cast<IUnknown*>(QueryRaw(direct[from], *kContracted[to].iid, S_OK));
      ASSERT_NE(reached, nullptr);
      EXPECT_EQ(reached, direct[to]);
      reached->Release();
    }
  }
  for (IUnknown* found : direct) found->Release();
  EXPECT_EQ(References(control.get()), base);
}

// Each interface is asked for something only its own method table answers
// this way, so that a table entry handing out the wrong part of the object
// fails. The tests of each interface's behaviour ask through its own IID;
// these four are reached that way only here.
TEST_F(IdentityTest, InterfacesAnswerTheirOwnMethods) {
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(Query<IHvActivityCtrl>()->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.out()), S_OK);
  EXPECT_TRUE(IsEqualGUID(DescribedGuid(info.get()), IID_IHvActivityCtrl));
  ASSERT_EQ(Query<IProvideClassInfo>()->GetClassInfo(info.out()), S_OK);
  EXPECT_TRUE(IsEqualGUID(DescribedGuid(info.get()), CLSID_ActivityCtrl));

  CLSID clsid = GUID_NULL;
  ASSERT_EQ(Query<IPersist>()->GetClassID(&clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_ActivityCtrl));

  IDropTarget* target = reinterpret_cast<IDropTarget*>(1);
  EXPECT_EQ(Query<IOleInPlaceObjectWindowless>()->GetDropTarget(&target), E_NOTIMPL);
  EXPECT_EQ(target, nullptr);
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
