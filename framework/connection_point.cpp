#include "framework/connection_point.h"

#include <new>

#include "framework/com_ptr.h"
#include "framework/error_boundary.h"
#include "framework/snapshot_enum.h"

namespace {

struct ConnectionPointItem {
  static const IID& Iid() noexcept { return IID_IEnumConnectionPoints; }
  static void Hold(IConnectionPoint* point) noexcept { point->AddRef(); }
  static void Drop(IConnectionPoint* point) noexcept { point->Release(); }
};
using ConnectionPointEnum =
    SnapshotEnum<IEnumConnectionPoints, IConnectionPoint*, ConnectionPointItem>;

struct ConnectionItem {
  static const IID& Iid() noexcept { return IID_IEnumConnections; }
  static void Hold(const CONNECTDATA& connection) noexcept { connection.pUnk->AddRef(); }
  static void Drop(const CONNECTDATA& connection) noexcept { connection.pUnk->Release(); }
};
using ConnectionEnum = SnapshotEnum<IEnumConnections, CONNECTDATA, ConnectionItem>;

}  // namespace

ConnectionPoint::ConnectionPoint(IUnknown* owner, IConnectionPointContainer* container,
                                 const IID& event_iid) noexcept
    : owner_(owner), container_(container), event_iid_(event_iid) {}

ConnectionPoint::~ConnectionPoint() {
  // Taken out first: a sink's Release may call back into the owner.
  std::vector<CONNECTDATA> connections;
  connections.swap(connections_);
  for (const CONNECTDATA& connection : connections) {
    ComPtr<IUnknown> sink;
    sink.attach(connection.pUnk);  // the list's reference, given back here
  }
}

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IConnectionPoint))
    return E_NOINTERFACE;
  *object = static_cast<IConnectionPoint*>(this);
  AddRef();
  return S_OK;
}

ULONG ConnectionPoint::AddRef() noexcept { return owner_->AddRef(); }
ULONG ConnectionPoint::Release() noexcept { return owner_->Release(); }

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) noexcept {
  if (!iid) return E_POINTER;
  *iid = event_iid_;
  return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(
    IConnectionPointContainer** container) noexcept {
  if (!container) return E_POINTER;
  container_->AddRef();
  *container = container_;
  return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) noexcept {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  ComPtr<IUnknown> events;
  if (FAILED(sink->QueryInterface(event_iid_, events.out_void())) || !events)
    return CONNECT_E_CANNOTCONNECT;
  DWORD next = last_cookie_ + 1;
  if (next == 0) next = 1;  // 0 names no connection
  const HRESULT added = CatchReturn([&] {
    connections_.push_back(CONNECTDATA{events.get(), next});
    return S_OK;
  });
  if (FAILED(added)) return added;
  events.release();  // the list holds that reference now
  last_cookie_ = next;
  *cookie = next;
  return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) noexcept {
  for (auto at = connections_.begin(); at != connections_.end(); ++at) {
    if (at->dwCookie != cookie) continue;
    // Off the list before the sink hears of it, so a re-entrant call sees
    // the connection gone; the reference the list held goes at the return.
    ComPtr<IUnknown> sink;
    sink.attach(at->pUnk);
    connections_.erase(at);
    return S_OK;
  }
  return CONNECT_E_NOCONNECTION;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** connections) noexcept {
  return ConnectionEnum::Create(connections_.data(), connections_.size(), connections);
}

HRESULT CreateConnectionPointEnum(IConnectionPoint* const* points, std::size_t count,
                                  IEnumConnectionPoints** result) noexcept {
  return ConnectionPointEnum::Create(points, count, result);
}

HRESULT FindConnectionPointIn(ConnectionPoint* const* points, std::size_t count, REFIID iid,
                              IConnectionPoint** result) noexcept {
  if (!result) return E_POINTER;
  *result = nullptr;
  for (std::size_t i = 0; i < count; ++i) {
    if (!IsEqualIID(points[i]->event_iid(), iid)) continue;
    points[i]->AddRef();
    *result = points[i];
    return S_OK;
  }
  return CONNECT_E_NOCONNECTION;
}
