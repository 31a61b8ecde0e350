// The control's COM identity through the DLL's class object: the interface
// table, COM's identity rules, the aggregated form and the module lock.
#include "control/control_fixture.h"

#include <iterator>

namespace {

const IID* const kTable[] = {
    &IID_IHvActivityCtrl,
    &IID_IDispatch,
    &IID_IViewObjectEx,
    &IID_IViewObject2,
    &IID_IViewObject,
    &IID_IOleInPlaceObjectWindowless,
    &IID_IOleInPlaceObject,
    &IID_IOleWindow,
    &IID_IOleInPlaceActiveObject,
    &IID_IOleControl,
    &IID_IOleObject,
    &IID_IPersistStreamInit,
    &IID_IPersist,
    &IID_ISupportErrorInfo,
    &IID_IConnectionPointContainer,
    &IID_ISpecifyPropertyPages,
    &IID_IQuickActivate,
    &IID_IPersistStorage,
    &IID_IDataObject,
    &IID_IProvideClassInfo2,
    &IID_IProvideClassInfo,
    &IID_IHpAdviseEvents,
    &IID_IHvProjectList,
};

const IID* const kAbsent[] = {
    &IID_IPersistPropertyBag, &IID_IPointerInactive, &IID_IPropertyNotifySink,
    &IID_IOleInPlaceSite,     &IID_IClassFactory,    &IID_IPersistFile,
    &IID_IRunnableObject,     &IID_IConnectionPoint, &IID_IOleCache,
};

void* QueryRaw(IUnknown* object, const IID& iid, HRESULT expected) {
  void* found = reinterpret_cast<void*>(1);
  EXPECT_EQ(object->QueryInterface(iid, &found), expected);
  return found;
}

}  // namespace

using IdentityTest = ControlTest;

TEST_F(IdentityTest, EveryTableEntryAnswersWithTheOneIdentity) {
  const ULONG base = References(control.get());
  EXPECT_EQ(base, 1u);
  for (std::size_t entry = 0; entry < std::size(kTable); ++entry) {
    SCOPED_TRACE(::testing::Message() << "entry #" << entry + 1);
    const IID* iid = kTable[entry];
    auto* found = static_cast<IUnknown*>(QueryRaw(control.get(), *iid, S_OK));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(References(control.get()), base + 1);
    // From any interface back to the same IUnknown, and on to the others.
    IUnknown* identity = nullptr;
    ASSERT_EQ(found->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, control.get());
    identity->Release();
    void* again = QueryRaw(found, *iid, S_OK);
    EXPECT_EQ(again, found) << "the same interface twice gives the same pointer";
    static_cast<IUnknown*>(again)->Release();
    auto* other = static_cast<IUnknown*>(QueryRaw(found, IID_IOleObject, S_OK));
    other->Release();
    found->Release();
  }
  EXPECT_EQ(References(control.get()), base);
  for (const IID* iid : kAbsent) EXPECT_EQ(QueryRaw(control.get(), *iid, E_NOINTERFACE), nullptr);
  EXPECT_EQ(control->QueryInterface(IID_IOleObject, nullptr), E_POINTER);
  EXPECT_EQ(References(control.get()), base);
}

TEST_F(IdentityTest, InterfacesThatShareAnImplementation) {
  auto same = [&](const IID& first, const IID& second) {
    void* a = QueryRaw(control.get(), first, S_OK);
    void* b = QueryRaw(control.get(), second, S_OK);
    static_cast<IUnknown*>(a)->Release();
    static_cast<IUnknown*>(b)->Release();
    return a == b;
  };
  EXPECT_TRUE(same(IID_IOleWindow, IID_IOleInPlaceObjectWindowless));
  EXPECT_TRUE(same(IID_IOleInPlaceObject, IID_IOleInPlaceObjectWindowless));
  EXPECT_TRUE(same(IID_IDispatch, IID_IHvActivityCtrl));
  EXPECT_TRUE(same(IID_IViewObject, IID_IViewObjectEx));
  EXPECT_TRUE(same(IID_IPersist, IID_IPersistStreamInit));
  EXPECT_TRUE(same(IID_IProvideClassInfo, IID_IProvideClassInfo2));
  // The in-place active object's IOleWindow is its own part of the object.
  EXPECT_FALSE(same(IID_IOleInPlaceActiveObject, IID_IOleWindow));
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
