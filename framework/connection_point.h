#pragma once
// Outgoing-interface bookkeeping for a connectable object: one connection
// point per event interface, and the enumerators a container hands out.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>  // CONNECT_E_*

#include <cstddef>
#include <vector>

// The connection point for one event interface. It is a fixed part of its
// owner, kept as a member so that its QueryInterface stays its own, and it
// counts its references on the owner's IUnknown: pointers to it keep the owner
// alive. Each connected sink is held as its event interface with one
// reference, until Unadvise or until the connection point is destroyed.
class ConnectionPoint : public IConnectionPoint {
 public:
  // `owner` and `container` are not counted: they are the object this one
  // lives in.
  ConnectionPoint(IUnknown* owner, IConnectionPointContainer* container,
                  const IID& event_iid) noexcept;
  ~ConnectionPoint();
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  // IUnknown and IConnectionPoint are answered by this object.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;

  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) noexcept override;
  HRESULT STDMETHODCALLTYPE
  GetConnectionPointContainer(IConnectionPointContainer** container) noexcept override;
  // A sink that does not answer the event interface gives
  // CONNECT_E_CANNOTCONNECT; `*cookie` is 0 on any failure. Cookies are never
  // reused while this object lives, so a stale one cannot disconnect a newer
  // sink.
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) noexcept override;
  // CONNECT_E_NOCONNECTION for a cookie that names no current connection.
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) noexcept override;
  // A snapshot of the current connections; later changes do not show in it.
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) noexcept override;

  const IID& event_iid() const noexcept { return event_iid_; }

 private:
  IUnknown* owner_;
  IConnectionPointContainer* container_;
  const IID event_iid_;
  std::vector<CONNECTDATA> connections_;
  DWORD last_cookie_ = 0;
};

// A new enumerator over `points[0..count)` for
// IConnectionPointContainer::EnumConnectionPoints; each point gets one
// reference while the enumerator lives. E_POINTER, E_OUTOFMEMORY.
HRESULT CreateConnectionPointEnum(IConnectionPoint* const* points, std::size_t count,
                                  IEnumConnectionPoints** result) noexcept;

// IConnectionPointContainer::FindConnectionPoint over a fixed set of points:
// the one whose event interface is `iid`, with a new reference, or
// CONNECT_E_NOCONNECTION. A null `result` gives E_POINTER.
HRESULT FindConnectionPointIn(ConnectionPoint* const* points, std::size_t count, REFIID iid,
                              IConnectionPoint** result) noexcept;
