#include "control/sequences/fakes.h"

#include <gtest/gtest.h>

#include <cstring>

#include "control/control_ids.h"

HRESULT ScriptedStream::QueryInterface(REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_ISequentialStream) &&
      !IsEqualIID(iid, IID_IStream))
    return E_NOINTERFACE;
  *object = static_cast<IStream*>(this);
  AddRef();
  return S_OK;
}

HRESULT ScriptedStream::Read(void* buffer, ULONG size, ULONG* read) noexcept {
  if (read) *read = 0;
  if (count <= 0) ADD_FAILURE() << "Read on a released stream";
  if (position_ + size > fail_at) return failure;
  const size_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
  const ULONG moved = static_cast<ULONG>(size < available ? size : available);
  std::memcpy(buffer, bytes_.data() + position_, moved);
  position_ += moved;
  if (read) *read = moved;
  return moved == size ? S_OK : S_FALSE;
}

HRESULT ScriptedStream::Write(const void* buffer, ULONG size, ULONG* written) noexcept {
  if (written) *written = 0;
  if (count <= 0) ADD_FAILURE() << "Write on a released stream";
  if (position_ + size > fail_at) return failure;
  if (bytes_.size() < position_ + size) bytes_.resize(position_ + size);
  std::memcpy(&bytes_[position_], buffer, size);
  position_ += size;
  if (written) *written = size;
  return S_OK;
}

HRESULT ScriptedStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) noexcept {
  LONGLONG base = origin == STREAM_SEEK_SET   ? 0
                  : origin == STREAM_SEEK_CUR ? static_cast<LONGLONG>(position_)
                                              : static_cast<LONGLONG>(bytes_.size());
  if (base + move.QuadPart < 0) return STG_E_INVALIDFUNCTION;
  position_ = static_cast<size_t>(base + move.QuadPart);
  if (position) position->QuadPart = position_;
  return S_OK;
}

HRESULT EventSink::QueryInterface(REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  const bool events = IsEqualIID(iid, DIID_IHvActivityCtrlEvents) || IsEqualIID(iid, IID_IDispatch);
  if (!IsEqualIID(iid, IID_IUnknown) && !(takes_events_ && events)) return E_NOINTERFACE;
  *object = static_cast<IDispatch*>(this);
  AddRef();
  return S_OK;
}

HRESULT EventSink::GetTypeInfoCount(UINT* count) noexcept {
  if (count) *count = 0;
  return S_OK;
}

HRESULT EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                          UINT*) noexcept {
  ADD_FAILURE() << "an event fired on a control that has none: " << id;
  return S_OK;
}

HRESULT AdviseSink::QueryInterface(REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IAdviseSink) &&
      !IsEqualIID(iid, IID_IAdviseSinkEx))
    return E_NOINTERFACE;
  *object = static_cast<IAdviseSinkEx*>(this);
  AddRef();
  return S_OK;
}
