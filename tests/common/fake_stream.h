#pragma once
// A memory stream a test hands to the code under test, with every way a
// stream can fail: a read or write from a given call on, any transfer that
// would reach past a given byte, and writes that take fewer bytes than asked.
// Every call is logged ("Read(4)", "Write(4)", "Seek(0, 1)", other methods by
// name), so a test can check the exact traffic.
#include <windows.h>
#include <objidl.h>

#include <cstddef>
#include <string>

#include "common/call_log.h"
#include "common/ref_counts.h"

class FakeStream : public IStream, public RefCounts {
 public:
  FakeStream() = default;
  explicit FakeStream(std::string content) : bytes(std::move(content)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return CountAddRef("stream"); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return CountRelease("stream"); }

  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) noexcept override;
  HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG size, ULONG* written) noexcept override;
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                 ULARGE_INTEGER* position) noexcept override;
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) noexcept override;
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                   ULARGE_INTEGER*) noexcept override;
  HRESULT STDMETHODCALLTYPE Commit(DWORD) noexcept override;
  HRESULT STDMETHODCALLTYPE Revert() noexcept override;
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept override;
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept override;
  HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) noexcept override;
  HRESULT STDMETHODCALLTYPE Clone(IStream**) noexcept override;

  // The content; reads and writes start at the current position.
  std::string bytes;
  // Failures, none by default. The failing call returns `error` and moves
  // nothing.
  int first_failing_read = 0;   // 1-based: this read and every later one fail
  int first_failing_write = 0;  // 1-based: this write and every later one fail
  std::size_t fail_at = static_cast<std::size_t>(-1);  // transfers reaching past this byte fail
  HRESULT error = STG_E_READFAULT;
  ULONG write_limit = 0xFFFFFFFF;  // bytes one write takes at most, reporting success
  CallLog log;

 private:
  HRESULT Unsupported(const char* method);

  std::size_t position_ = 0;
  int reads_ = 0;
  int writes_ = 0;
};
