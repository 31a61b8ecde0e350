#include "common/fake_stream.h"

#include <cstring>

HRESULT FakeStream::QueryInterface(REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_ISequentialStream) &&
      !IsEqualIID(iid, IID_IStream))
    return E_NOINTERFACE;
  *object = static_cast<IStream*>(this);
  AddRef();
  return S_OK;
}

HRESULT FakeStream::Read(void* buffer, ULONG size, ULONG* read) noexcept {
  CheckAlive("stream", "Read");
  log.Add(LogCall("Read", {std::to_string(size)}));
  if (read) *read = 0;
  ++reads_;
  if (first_failing_read > 0 && reads_ >= first_failing_read) return error;
  if (position_ + size > fail_at) return error;
  const std::size_t available = position_ < bytes.size() ? bytes.size() - position_ : 0;
  const ULONG moved = static_cast<ULONG>(size < available ? size : available);
  if (moved) std::memcpy(buffer, bytes.data() + position_, moved);
  position_ += moved;
  if (read) *read = moved;
  return moved == size ? S_OK : S_FALSE;
}

HRESULT FakeStream::Write(const void* buffer, ULONG size, ULONG* written) noexcept {
  CheckAlive("stream", "Write");
  log.Add(LogCall("Write", {std::to_string(size)}));
  if (written) *written = 0;
  ++writes_;
  if (first_failing_write > 0 && writes_ >= first_failing_write) return error;
  if (position_ + size > fail_at) return error;
  const ULONG taken = size < write_limit ? size : write_limit;
  if (bytes.size() < position_ + taken) bytes.resize(position_ + taken);
  if (taken) std::memcpy(&bytes[position_], buffer, taken);
  position_ += taken;
  if (written) *written = taken;
  return S_OK;
}

HRESULT FakeStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) noexcept {
  CheckAlive("stream", "Seek");
  log.Add(LogCall("Seek", {std::to_string(move.QuadPart), std::to_string(origin)}));
  const LONGLONG base = origin == STREAM_SEEK_SET   ? 0
                        : origin == STREAM_SEEK_CUR ? static_cast<LONGLONG>(position_)
                                                    : static_cast<LONGLONG>(bytes.size());
  if (base + move.QuadPart < 0) return STG_E_INVALIDFUNCTION;
  position_ = static_cast<std::size_t>(base + move.QuadPart);
  if (position) position->QuadPart = position_;
  return S_OK;
}

HRESULT FakeStream::Unsupported(const char* method) {
  CheckAlive("stream", method);
  log.Add(LogCall(method));
  return E_NOTIMPL;
}

HRESULT FakeStream::SetSize(ULARGE_INTEGER) noexcept { return Unsupported("SetSize"); }
HRESULT FakeStream::CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) noexcept {
  return Unsupported("CopyTo");
}
// A memory stream has nothing to commit.
HRESULT FakeStream::Commit(DWORD) noexcept {
  CheckAlive("stream", "Commit");
  log.Add(LogCall("Commit"));
  return S_OK;
}
HRESULT FakeStream::Revert() noexcept { return Unsupported("Revert"); }
HRESULT FakeStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept {
  return Unsupported("LockRegion");
}
HRESULT FakeStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept {
  return Unsupported("UnlockRegion");
}
HRESULT FakeStream::Stat(STATSTG*, DWORD) noexcept { return Unsupported("Stat"); }
HRESULT FakeStream::Clone(IStream**) noexcept { return Unsupported("Clone"); }
