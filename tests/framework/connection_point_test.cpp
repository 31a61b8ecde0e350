// Connection-point bookkeeping: exact reference totals on the sinks and on the
// owning object, cookies, and the two enumerators' Next/Skip/Reset/Clone.
#include "framework/connection_point.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <memory>

#include "common/counting_unknown.h"
#include "common/fake_event_sink.h"
#include "framework/com_ptr.h"
#include "framework/com_module.h"

namespace {

const IID kEventsIid = {
    0x897B5A9B, 0x25C7, 0x4C20, {0xBD, 0x6A, 0xC1, 0x3E, 0xA4, 0x39, 0x7A, 0x6A}};

// The object a connection point lives in: a container whose own references
// are counted, never deleted by its count.
class Owner : public IConnectionPointContainer {
 public:
  Owner() : point(this, this, kEventsIid) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IConnectionPointContainer))
      return E_NOINTERFACE;
    *out = static_cast<IConnectionPointContainer*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++count; }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return --count; }
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) noexcept override {
    IConnectionPoint* list[] = {&point};
    return CreateConnectionPointEnum(list, 1, points);
  }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid,
                                                IConnectionPoint** found) noexcept override {
    ConnectionPoint* list[] = {&point};
    return FindConnectionPointIn(list, 1, iid, found);
  }

  long count = 1;
  ConnectionPoint point;
};

class ConnectionPointTest : public ::testing::Test {
 protected:
  void SetUp() override { locks_before_ = ThisModule().GetLockCount(); }
  void TearDown() override {
    EXPECT_EQ(owner_.count, 1) << "the owner's references must come back";
    EXPECT_EQ(ThisModule().GetLockCount(), locks_before_);
  }

  Owner owner_;
  LONG locks_before_ = 0;
};

TEST_F(ConnectionPointTest, AdviseAndUnadvise) {
  FakeEventSink first(kEventsIid), second(kEventsIid);
  CountingUnknown plain;
  DWORD a = 0, b = 0, c = 123;
  ASSERT_EQ(owner_.point.Advise(&first, &a), S_OK);
  ASSERT_EQ(owner_.point.Advise(&second, &b), S_OK);
  EXPECT_EQ(owner_.point.Advise(&plain, &c), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(c, 0u);
  EXPECT_EQ(plain.count, 1);
  EXPECT_EQ(plain.add_refs, plain.releases);
  EXPECT_EQ(owner_.point.Advise(nullptr, &c), E_POINTER);
  EXPECT_EQ(owner_.point.Advise(&first, nullptr), E_POINTER);
  ASSERT_EQ(owner_.point.Advise(&first, &c), S_OK);  // the same sink twice
  EXPECT_TRUE(a != 0 && a != b && a != c && b != c);
  EXPECT_EQ(first.count, 3);
  EXPECT_EQ(owner_.count, 1);

  for (const DWORD unknown : {DWORD(0), DWORD(a + b + c + 100), DWORD(0xFFFFFFFF)})
    EXPECT_EQ(owner_.point.Unadvise(unknown), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(owner_.point.Unadvise(a), S_OK);
  EXPECT_EQ(first.count, 2);  // the other connection of `first` stays
  EXPECT_EQ(owner_.point.Unadvise(a), CONNECT_E_NOCONNECTION);

  // A cookie once given out is not reused.
  DWORD d = 0;
  ASSERT_EQ(owner_.point.Advise(&second, &d), S_OK);
  EXPECT_NE(d, a);
  EXPECT_EQ(owner_.point.Unadvise(a), CONNECT_E_NOCONNECTION);
  for (const DWORD cookie : {b, c, d}) EXPECT_EQ(owner_.point.Unadvise(cookie), S_OK);
  EXPECT_EQ(first.count, 1);
  EXPECT_EQ(second.count, 1);
  EXPECT_EQ(first.add_refs, first.releases);
  EXPECT_EQ(second.add_refs, second.releases);
}

TEST_F(ConnectionPointTest, DestructionReleasesRemainingSinks) {
  FakeEventSink sink(kEventsIid);
  {
    Owner other;
    DWORD cookie = 0;
    ASSERT_EQ(other.point.Advise(&sink, &cookie), S_OK);
    ASSERT_EQ(other.point.Advise(&sink, &cookie), S_OK);
    EXPECT_EQ(sink.count, 3);
  }
  EXPECT_EQ(sink.count, 1);
  EXPECT_EQ(sink.add_refs, sink.releases);
}

TEST_F(ConnectionPointTest, IdentityReferencesAndLookup) {
  IConnectionPoint* point = &owner_.point;
  EXPECT_EQ(point->AddRef(), 2u);
  EXPECT_EQ(owner_.count, 2);
  EXPECT_EQ(point->Release(), 1u);

  ComPtr<IConnectionPoint> same;
  ASSERT_EQ(point->QueryInterface(IID_IConnectionPoint, same.out_void()), S_OK);
  EXPECT_EQ(same.get(), point);
  EXPECT_EQ(owner_.count, 2);
  same.reset();
  ComPtr<IConnectionPointContainer> not_here;
  EXPECT_EQ(point->QueryInterface(IID_IConnectionPointContainer, not_here.out_void()),
            E_NOINTERFACE);
  EXPECT_FALSE(not_here);

  IID iid = IID_NULL;
  EXPECT_EQ(point->GetConnectionInterface(&iid), S_OK);
  EXPECT_TRUE(IsEqualIID(iid, kEventsIid));
  EXPECT_EQ(point->GetConnectionInterface(nullptr), E_POINTER);

  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(point->GetConnectionPointContainer(container.out()), S_OK);
  EXPECT_EQ(container.get(), static_cast<IConnectionPointContainer*>(&owner_));
  EXPECT_EQ(owner_.count, 2);
  EXPECT_EQ(point->GetConnectionPointContainer(nullptr), E_POINTER);
  container.reset();

  ComPtr<IConnectionPoint> found;
  ASSERT_EQ(owner_.FindConnectionPoint(kEventsIid, found.out()), S_OK);
  EXPECT_EQ(found.get(), static_cast<IConnectionPoint*>(&owner_.point));
  EXPECT_EQ(owner_.count, 2);
  found.reset();

  IConnectionPoint* none = reinterpret_cast<IConnectionPoint*>(1);
  EXPECT_EQ(owner_.FindConnectionPoint(IID_IPropertyNotifySink, &none), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(owner_.FindConnectionPoint(kEventsIid, nullptr), E_POINTER);
}

TEST_F(ConnectionPointTest, EnumConnectionsIsASnapshotHoldingItsSinks) {
  FakeEventSink first(kEventsIid), second(kEventsIid);
  CountingUnknown refused;  // no event interface: never listed
  DWORD a = 0, b = 0, none = 0;
  ASSERT_EQ(owner_.point.Advise(&first, &a), S_OK);
  EXPECT_EQ(owner_.point.Advise(&refused, &none), CONNECT_E_CANNOTCONNECT);
  ASSERT_EQ(owner_.point.Advise(&second, &b), S_OK);

  ComPtr<IEnumConnections> connections;
  ASSERT_EQ(owner_.point.EnumConnections(connections.out()), S_OK);
  EXPECT_EQ(ThisModule().GetLockCount(), locks_before_ + 1);
  EXPECT_EQ(first.count, 3);  // Advise's and the enumerator's

  // Disconnecting afterwards does not change what the enumerator lists, and
  // the enumerator keeps the sink alive.
  ASSERT_EQ(owner_.point.Unadvise(a), S_OK);
  EXPECT_EQ(first.count, 2);

  CONNECTDATA got[3] = {};
  ULONG fetched = 99;
  EXPECT_EQ(connections->Next(3, got, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  EXPECT_EQ(got[0].pUnk, static_cast<IUnknown*>(&first));
  EXPECT_EQ(got[0].dwCookie, a);
  EXPECT_EQ(got[1].pUnk, static_cast<IUnknown*>(&second));
  EXPECT_EQ(got[1].dwCookie, b);
  EXPECT_EQ(first.count, 3);  // one more for the caller
  got[0].pUnk->Release();
  got[1].pUnk->Release();

  connections.reset();
  EXPECT_EQ(first.count, 1);
  EXPECT_EQ(second.count, 2);
  EXPECT_EQ(ThisModule().GetLockCount(), locks_before_);
  EXPECT_EQ(owner_.point.Unadvise(b), S_OK);
  EXPECT_EQ(first.add_refs, first.releases);
  EXPECT_EQ(second.add_refs, second.releases);
}

TEST_F(ConnectionPointTest, EnumeratorNextSkipResetClone) {
  FakeEventSink sinks[3] = {FakeEventSink(kEventsIid), FakeEventSink(kEventsIid),
                           FakeEventSink(kEventsIid)};
  DWORD cookies[3] = {};
  for (int i = 0; i < 3; ++i) ASSERT_EQ(owner_.point.Advise(&sinks[i], &cookies[i]), S_OK);
  ComPtr<IEnumConnections> connections;
  ASSERT_EQ(owner_.point.EnumConnections(connections.out()), S_OK);

  CONNECTDATA got = {};
  EXPECT_EQ(connections->Next(1, &got, nullptr), S_OK);  // one item needs no count
  EXPECT_EQ(got.dwCookie, cookies[0]);
  got.pUnk->Release();
  CONNECTDATA two[2] = {};
  EXPECT_EQ(connections->Next(2, two, nullptr), E_INVALIDARG);
  EXPECT_EQ(connections->Next(1, nullptr, nullptr), E_POINTER);

  EXPECT_EQ(connections->Skip(1), S_OK);
  ComPtr<IEnumConnections> clone;
  ASSERT_EQ(connections->Clone(clone.out()), S_OK);
  EXPECT_EQ(connections->Clone(nullptr), E_POINTER);
  EXPECT_EQ(ThisModule().GetLockCount(), locks_before_ + 2);

  // The clone starts where the original stood and moves on its own.
  ULONG fetched = 0;
  EXPECT_EQ(clone->Next(1, &got, &fetched), S_OK);
  EXPECT_EQ(fetched, 1u);
  EXPECT_EQ(got.dwCookie, cookies[2]);
  got.pUnk->Release();
  EXPECT_EQ(clone->Next(1, &got, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(connections->Next(1, &got, &fetched), S_OK);
  EXPECT_EQ(got.dwCookie, cookies[2]);
  got.pUnk->Release();

  // Skipping past the end stops at the end; Reset goes back to the start.
  EXPECT_EQ(connections->Reset(), S_OK);
  EXPECT_EQ(connections->Skip(2), S_OK);
  EXPECT_EQ(connections->Skip(5), S_FALSE);
  EXPECT_EQ(connections->Next(1, &got, &fetched), S_FALSE);
  EXPECT_EQ(connections->Reset(), S_OK);
  EXPECT_EQ(connections->Next(1, &got, &fetched), S_OK);
  EXPECT_EQ(got.dwCookie, cookies[0]);
  got.pUnk->Release();

  ComPtr<IEnumConnectionPoints> wrong;
  EXPECT_EQ(connections->QueryInterface(IID_IEnumConnectionPoints, wrong.out_void()),
            E_NOINTERFACE);
  clone.reset();
  connections.reset();
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(sinks[i].count, 2);
    EXPECT_EQ(owner_.point.Unadvise(cookies[i]), S_OK);
    EXPECT_EQ(sinks[i].add_refs, sinks[i].releases);
  }
}

TEST_F(ConnectionPointTest, EnumConnectionPointsCountsOnTheOwner) {
  ComPtr<IEnumConnectionPoints> points;
  ASSERT_EQ(owner_.EnumConnectionPoints(points.out()), S_OK);
  EXPECT_EQ(owner_.count, 2);  // the enumerator's hold on the one point

  IConnectionPoint* got[2] = {};
  ULONG fetched = 0;
  EXPECT_EQ(points->Next(2, got, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 1u);
  EXPECT_EQ(got[0], static_cast<IConnectionPoint*>(&owner_.point));
  EXPECT_EQ(owner_.count, 3);
  got[0]->Release();

  ComPtr<IEnumConnectionPoints> clone;
  ASSERT_EQ(points->Clone(clone.out()), S_OK);
  EXPECT_EQ(owner_.count, 3);
  EXPECT_EQ(clone->Next(1, got, nullptr), S_FALSE);  // cloned at the end
  EXPECT_EQ(clone->Reset(), S_OK);
  EXPECT_EQ(clone->Next(1, got, nullptr), S_OK);
  got[0]->Release();
  clone.reset();
  points.reset();
  EXPECT_EQ(owner_.count, 1);

  // An empty list enumerates nothing.
  ASSERT_EQ(CreateConnectionPointEnum(nullptr, 0, points.out()), S_OK);
  EXPECT_EQ(points->Next(1, got, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(CreateConnectionPointEnum(nullptr, 0, nullptr), E_POINTER);
}

}  // namespace
