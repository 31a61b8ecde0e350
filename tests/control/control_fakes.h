#pragma once
// Counting fakes of what a container hands to the control: a client site
// (optionally with an ambient IDispatch), view/OLE advise sinks, event sinks,
// an aggregating outer object and a stream whose reads fail. Each belongs to
// the test, is never deleted by its count, and logs the calls the control
// makes on it, so a test can check both the sequence and that every
// reference it took was given back.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "common/call_log.h"

// IUnknown bookkeeping shared by the fakes: `count` starts at 1 (the test's).
class Counted {
 public:
  long count = 1;
  int add_refs = 0;
  int releases = 0;

 protected:
  ULONG Up() noexcept {
    ++add_refs;
    return ++count;
  }
  ULONG Down() noexcept {
    ++releases;
    return --count;
  }
};

// IOleClientSite; answers IDispatch too when `ambient` is set.
class FakeClientSite : public IOleClientSite, public IDispatch, public Counted {
 public:
  explicit FakeClientSite(bool ambient = false) : ambient_(ambient) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return Up(); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return Down(); }

  HRESULT STDMETHODCALLTYPE SaveObject() noexcept override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) noexcept override;
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) noexcept override;
  HRESULT STDMETHODCALLTYPE ShowObject() noexcept override;
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL show) noexcept override;
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() noexcept override;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID,
                                          DISPID*) noexcept override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                   EXCEPINFO*, UINT*) noexcept override;

  CallLog log;

 private:
  bool ambient_;
};

// IAdviseSink, as a view sink or an OLE advise sink.
class FakeAdviseSink : public IAdviseSink, public Counted {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return Up(); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return Down(); }

  void STDMETHODCALLTYPE OnDataChange(FORMATETC*, STGMEDIUM*) noexcept override;
  void STDMETHODCALLTYPE OnViewChange(DWORD aspect, LONG index) noexcept override;
  void STDMETHODCALLTYPE OnRename(IMoniker*) noexcept override;
  void STDMETHODCALLTYPE OnSave() noexcept override;
  void STDMETHODCALLTYPE OnClose() noexcept override;

  CallLog log;
};

// An event sink that answers the event dispinterface only when `answers`.
class FakeEventSink : public IDispatch, public Counted {
 public:
  FakeEventSink(const IID& events, bool answers) : events_(events), answers_(answers) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return Up(); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return Down(); }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID,
                                          DISPID*) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) noexcept override {
    return E_NOTIMPL;
  }

 private:
  IID events_;
  bool answers_;
};

// The outer object of an aggregate: it answers IUnknown itself and hands
// every other interface to the inner object it holds.
class FakeOuter : public IUnknown, public Counted {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return Up(); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return Down(); }

  IUnknown* inner = nullptr;  // one reference, given back by the test
  int queries = 0;            // calls to QueryInterface
};

// An IStream over fixed bytes whose Read fails with `read_error` once the
// first `good_reads` reads are done (a negative value: never).
class FakeStream : public IStream, public Counted {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return Up(); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return Down(); }

  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) noexcept override;
  HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) noexcept override {
    return STG_E_ACCESSDENIED;
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                   ULARGE_INTEGER*) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Revert() noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER,
                                         DWORD) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) noexcept override { return E_NOTIMPL; }

  std::string bytes;
  int good_reads = -1;
  HRESULT read_error = STG_E_READFAULT;

 private:
  std::size_t position_ = 0;
  int reads_ = 0;
};
