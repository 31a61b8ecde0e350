// The persisted extent read and written through an IStream, with every way
// a stream can fail.
#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <string>

#include "common/fake_stream.h"
#include "control/property_stream_io.h"

namespace {

std::string StreamEncoded(std::int32_t cx, std::int32_t cy) {
  std::uint8_t bytes[kPropertyStreamSize];
  EncodePropertyStream({cx, cy}, bytes);
  return std::string(reinterpret_cast<const char*>(bytes), kPropertyStreamSize);
}

TEST(PropertyStreamIo, SaveWritesTwelveBytesInThreeFields) {
  FakeStream stream;
  EXPECT_EQ(WritePropertyStream(&stream, {0x2A6B, 0x1234}), S_OK);
  EXPECT_EQ(stream.bytes, StreamEncoded(0x2A6B, 0x1234));
  EXPECT_TRUE(stream.log.Matches({"Write(4)", "Write(4)", "Write(4)"}));
  EXPECT_EQ(stream.count, 1);
}

TEST(PropertyStreamIo, FirstFailingWriteEndsTheSave) {
  FakeStream stream;
  stream.first_failing_write = 2;
  stream.error = STG_E_MEDIUMFULL;
  EXPECT_EQ(WritePropertyStream(&stream, {1, 2}), STG_E_MEDIUMFULL);
  EXPECT_TRUE(stream.log.Matches({"Write(4)", "Write(4)"}));

  FakeStream denied;
  denied.first_failing_write = 3;
  denied.error = STG_E_ACCESSDENIED;
  EXPECT_EQ(WritePropertyStream(&denied, {1, 2}), STG_E_ACCESSDENIED);
  EXPECT_EQ(denied.bytes.size(), 8u);
}

TEST(PropertyStreamIo, ShortWriteIsNotASuccess) {
  FakeStream stream;
  stream.write_limit = 3;
  EXPECT_EQ(WritePropertyStream(&stream, {1, 2}), STG_E_MEDIUMFULL);
  EXPECT_TRUE(stream.log.Matches({"Write(4)"}));
}

TEST(PropertyStreamIo, LoadReadsFieldByField) {
  FakeStream stream;
  stream.bytes = StreamEncoded(-300, 4000);
  PropertyExtent extent{1, 2};
  EXPECT_EQ(ReadPropertyStream(&stream, extent), S_OK);
  EXPECT_EQ(extent.cx, -300);
  EXPECT_EQ(extent.cy, 4000);
  EXPECT_TRUE(stream.log.Matches({"Read(4)", "Read(4)", "Read(4)"}));
  EXPECT_EQ(stream.count, 1);
}

TEST(PropertyStreamIo, NewerVersionFailsBeforeReadingProperties) {
  FakeStream stream;
  stream.bytes = StreamEncoded(100, 200);
  stream.bytes[0] = 0x01;
  PropertyExtent extent{1, 2};
  EXPECT_EQ(ReadPropertyStream(&stream, extent), E_FAIL);
  EXPECT_TRUE(stream.log.Matches({"Read(4)"}));
  EXPECT_EQ(extent.cx, 1);
  EXPECT_EQ(extent.cy, 2);
}

TEST(PropertyStreamIo, EightBytesFailAfterTakingOverTheWidth) {
  FakeStream stream;
  stream.bytes = StreamEncoded(100, 200);
  stream.bytes.resize(8);
  PropertyExtent extent{1, 2};
  EXPECT_EQ(ReadPropertyStream(&stream, extent), E_FAIL);
  EXPECT_EQ(extent.cx, 100);
  EXPECT_EQ(extent.cy, 2);

  FakeStream short_version;
  short_version.bytes = std::string("\x00\x0A", 2);
  EXPECT_EQ(ReadPropertyStream(&short_version, extent), E_FAIL);
  EXPECT_TRUE(short_version.log.Matches({"Read(4)"}));
}

TEST(PropertyStreamIo, ReadErrorIsReturnedAsIs) {
  for (int failing = 1; failing <= 3; ++failing) {
    SCOPED_TRACE(failing);
    FakeStream stream;
    stream.bytes = StreamEncoded(100, 200);
    stream.first_failing_read = failing;
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
