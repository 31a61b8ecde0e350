#pragma once
// A connection-point sink: answers the event interface `events` (and
// IUnknown) when it takes events, otherwise only IUnknown. The control has
// no event to fire, so any Invoke is a fault; it is logged and fails the test.
#include <windows.h>
#include <oaidl.h>

#include "common/call_log.h"
#include "common/ref_counts.h"

class FakeEventSink : public IDispatch, public RefCounts {
 public:
  explicit FakeEventSink(const IID& events, bool takes_events = true)
      : events_(events), takes_events_(takes_events) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return CountAddRef("event sink"); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return CountRelease("event sink"); }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID,
                                          DISPID*) noexcept override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                   EXCEPINFO*, UINT*) noexcept override;

  CallLog log;

 private:
  IID events_;
  bool takes_events_;
};
