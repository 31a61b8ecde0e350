#pragma once
// Counted stand-ins a container hands to the control: a memory stream that
// can fail its reads or writes from a given byte on, and event sinks that do
// or do not take the control's events. Each counts its references from the
// test's own one and is never deleted by its count.
#include <objidl.h>
#include <ocidl.h>
#include <windows.h>

#include <string>

class ScriptedStream : public IStream {
 public:
  explicit ScriptedStream(std::string bytes = {}) : bytes_(std::move(bytes)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return static_cast<ULONG>(++count); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return static_cast<ULONG>(--count); }
  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) noexcept override;
  HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG size, ULONG* written) noexcept override;
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                 ULARGE_INTEGER* position) noexcept override;
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                   ULARGE_INTEGER*) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) noexcept override { return E_NOTIMPL; }

  const std::string& bytes() const { return bytes_; }

  long count = 1;
  // Reads and writes that would reach past this many bytes fail with
  // `failure` and move nothing.
  size_t fail_at = static_cast<size_t>(-1);
  HRESULT failure = STG_E_READFAULT;

 private:
  std::string bytes_;
  size_t position_ = 0;
};

// A connection-point sink: answers the control's event interface (and
// IDispatch) when `takes_events`, otherwise only IUnknown.
class EventSink : public IDispatch {
 public:
  explicit EventSink(bool takes_events) : takes_events_(takes_events) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return static_cast<ULONG>(++count); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return static_cast<ULONG>(--count); }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID,
                                          DISPID*) noexcept override {
    return E_NOTIMPL;
  }
  // The control has no events, so any call is a fault.
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) noexcept override;

  long count = 1;

 private:
  bool takes_events_;
};

// An OLE or view advise sink that counts what it is told.
class AdviseSink : public IAdviseSinkEx {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return static_cast<ULONG>(++count); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return static_cast<ULONG>(--count); }
  void STDMETHODCALLTYPE OnDataChange(FORMATETC*, STGMEDIUM*) noexcept override {}
  void STDMETHODCALLTYPE OnViewChange(DWORD, LONG) noexcept override { ++view_changes; }
  void STDMETHODCALLTYPE OnRename(IMoniker*) noexcept override {}
  void STDMETHODCALLTYPE OnSave() noexcept override { ++saves; }
  void STDMETHODCALLTYPE OnClose() noexcept override {}
  void STDMETHODCALLTYPE OnViewStatusChange(DWORD) noexcept override {}

  long count = 1;
  int view_changes = 0;
  int saves = 0;
};
