// The persisted extent read and written through an IStream, with every way
// a stream can fail.
#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "common/call_log.h"
#include "control/property_stream_io.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Encoded(std::int32_t cx, std::int32_t cy) {
  std::uint8_t bytes[kPropertyStreamSize];
  EncodePropertyStream({cx, cy}, bytes);
  return Bytes(bytes, bytes + kPropertyStreamSize);
}

// An IStream that serves `data` and then reports the scripted answers: the
// Read or Write with a given number fails with `error`, and writes take at
// most `write_limit` bytes each. Every Read and Write is logged with the
// bytes asked for.
class ScriptedStream : public IStream {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override {
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IStream) &&
        !IsEqualIID(iid, IID_ISequentialStream))
      return E_NOINTERFACE;
    *object = static_cast<IStream*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++count; }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return --count; }

  HRESULT STDMETHODCALLTYPE Read(void* out, ULONG size, ULONG* read) noexcept override {
    log.Add("Read(" + std::to_string(size) + ")");
    if (++reads == failing_call) return error;
    const ULONG taken = std::min<ULONG>(size, static_cast<ULONG>(data.size() - position));
    std::copy(data.begin() + position, data.begin() + position + taken,
              static_cast<std::uint8_t*>(out));
    position += taken;
    if (read) *read = taken;
    return taken == size ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Write(const void* in, ULONG size, ULONG* written) noexcept override {
    log.Add("Write(" + std::to_string(size) + ")");
    if (++writes == failing_call) return error;
    const ULONG taken = std::min(size, write_limit);
    const auto* bytes = static_cast<const std::uint8_t*>(in);
    data.insert(data.end(), bytes, bytes + taken);
    if (written) *written = taken;
    return S_OK;
  }
  // The property stream only reads and writes.
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) noexcept override {
    return No();
  }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) noexcept override { return No(); }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                   ULARGE_INTEGER*) noexcept override {
    return No();
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) noexcept override { return No(); }
  HRESULT STDMETHODCALLTYPE Revert() noexcept override { return No(); }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept override {
    return No();
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept override {
    return No();
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) noexcept override { return No(); }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) noexcept override { return No(); }

  Bytes data;
  std::size_t position = 0;
  int failing_call = 0;  // 1-based; 0: none fails
  HRESULT error = S_OK;
  ULONG write_limit = 0xFFFFFFFF;
  CallLog log;
  long count = 1;

 private:
  HRESULT No() {
    log.Add("other method");
    return E_NOTIMPL;
  }
  int reads = 0;
  int writes = 0;
};

TEST(PropertyStreamIo, SaveWritesTwelveBytesInThreeFields) {
  ScriptedStream stream;
  EXPECT_EQ(WritePropertyStream(&stream, {0x2A6B, 0x1234}), S_OK);
  EXPECT_EQ(stream.data, Encoded(0x2A6B, 0x1234));
  EXPECT_TRUE(stream.log.Matches({"Write(4)", "Write(4)", "Write(4)"}));
  EXPECT_EQ(stream.count, 1);
}

TEST(PropertyStreamIo, FirstFailingWriteEndsTheSave) {
  ScriptedStream stream;
  stream.failing_call = 2;
  stream.error = STG_E_MEDIUMFULL;
  EXPECT_EQ(WritePropertyStream(&stream, {1, 2}), STG_E_MEDIUMFULL);
  EXPECT_TRUE(stream.log.Matches({"Write(4)", "Write(4)"}));

  ScriptedStream denied;
  denied.failing_call = 3;
  denied.error = STG_E_ACCESSDENIED;
  EXPECT_EQ(WritePropertyStream(&denied, {1, 2}), STG_E_ACCESSDENIED);
  EXPECT_EQ(denied.data.size(), 8u);
}

TEST(PropertyStreamIo, ShortWriteIsNotASuccess) {
  ScriptedStream stream;
  stream.write_limit = 3;
  EXPECT_EQ(WritePropertyStream(&stream, {1, 2}), STG_E_MEDIUMFULL);
  EXPECT_TRUE(stream.log.Matches({"Write(4)"}));
}

TEST(PropertyStreamIo, LoadReadsFieldByField) {
  ScriptedStream stream;
  stream.data = Encoded(-300, 4000);
  PropertyExtent extent{1, 2};
  EXPECT_EQ(ReadPropertyStream(&stream, extent), S_OK);
  EXPECT_EQ(extent.cx, -300);
  EXPECT_EQ(extent.cy, 4000);
  EXPECT_TRUE(stream.log.Matches({"Read(4)", "Read(4)", "Read(4)"}));
  EXPECT_EQ(stream.count, 1);
}

TEST(PropertyStreamIo, NewerVersionFailsBeforeReadingProperties) {
  ScriptedStream stream;
  stream.data = Encoded(100, 200);
  stream.data[0] = 0x01;
  PropertyExtent extent{1, 2};
  EXPECT_EQ(ReadPropertyStream(&stream, extent), E_FAIL);
  EXPECT_TRUE(stream.log.Matches({"Read(4)"}));
  EXPECT_EQ(extent.cx, 1);
  EXPECT_EQ(extent.cy, 2);
}

TEST(PropertyStreamIo, EightBytesFailAfterTakingOverTheWidth) {
  ScriptedStream stream;
  stream.data = Encoded(100, 200);
  stream.data.resize(8);
  PropertyExtent extent{1, 2};
  EXPECT_EQ(ReadPropertyStream(&stream, extent), E_FAIL);
  EXPECT_EQ(extent.cx, 100);
  EXPECT_EQ(extent.cy, 2);

  ScriptedStream short_version;
  short_version.data = {0x00, 0x0A};
  EXPECT_EQ(ReadPropertyStream(&short_version, extent), E_FAIL);
  EXPECT_TRUE(short_version.log.Matches({"Read(4)"}));
}

TEST(PropertyStreamIo, ReadErrorIsReturnedAsIs) {
  for (int failing = 1; failing <= 3; ++failing) {
    SCOPED_TRACE(failing);
    ScriptedStream stream;
    stream.data = Encoded(100, 200);
    stream.failing_call = failing;
    stream.error = STG_E_READFAULT;
    PropertyExtent extent{1, 2};
    EXPECT_EQ(ReadPropertyStream(&stream, extent), STG_E_READFAULT);
    EXPECT_EQ(extent.cx, failing > 2 ? 100 : 1);
    EXPECT_EQ(extent.cy, 2);
  }
}

TEST(PropertyStreamIo, NullStream) {
  PropertyExtent extent{1, 2};
  EXPECT_EQ(ReadPropertyStream(nullptr, extent), E_INVALIDARG);
  EXPECT_EQ(WritePropertyStream(nullptr, extent), E_INVALIDARG);
}

}  // namespace
