// The persisted extent as bytes: layout, the version rule and truncation.
// Byte work only, so this file also builds natively.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "control/property_stream.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Encoded(std::int32_t cx, std::int32_t cy) {
  std::uint8_t bytes[kPropertyStreamSize];
  EncodePropertyStream({cx, cy}, bytes);
  return Bytes(bytes, bytes + kPropertyStreamSize);
}

TEST(PropertyStreamBytes, VersionThenWidthThenHeightLittleEndian) {
  EXPECT_EQ(Encoded(0x2A6B, 0x1234),
            (Bytes{0x00, 0x0A, 0x00, 0x00, 0x6B, 0x2A, 0x00, 0x00, 0x34, 0x12, 0x00, 0x00}));
  // Negative values keep their stored bits.
  EXPECT_EQ(Encoded(-1, INT32_MIN),
            (Bytes{0x00, 0x0A, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80}));
}

TEST(PropertyStreamBytes, VersionRule) {
  Bytes bytes = Encoded(100, 200);
  PropertyExtent extent{1, 2};
  bytes[0] = 0x01;  // 0x00000A01: newer, takes over nothing
  EXPECT_EQ(DecodePropertyStream(bytes.data(), bytes.size(), extent),
            PropertyStreamStatus::unsupported_version);
  EXPECT_EQ(extent.cx, 1);
  EXPECT_EQ(extent.cy, 2);
  bytes[0] = 0x00;
  bytes[3] = 0x80;  // 0x80000A00 is above as an unsigned version
  EXPECT_EQ(DecodePropertyStream(bytes.data(), bytes.size(), extent),
            PropertyStreamStatus::unsupported_version);
  bytes[3] = 0x00;
  bytes[1] = 0x09;  // older versions read as this one
  EXPECT_EQ(DecodePropertyStream(bytes.data(), bytes.size(), extent),
            PropertyStreamStatus::complete);
  EXPECT_EQ(extent.cx, 100);
  EXPECT_EQ(extent.cy, 200);
}

TEST(PropertyStreamBytes, TruncatedDataKeepsWhatWasComplete) {
  const Bytes bytes = Encoded(100, 200);
  const struct {
    std::size_t size;
    std::int32_t cx, cy;
  } cases[] = {{0, 1, 2}, {3, 1, 2}, {4, 1, 2}, {7, 1, 2}, {8, 100, 2}, {11, 100, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    PropertyExtent extent{1, 2};
    EXPECT_EQ(DecodePropertyStream(bytes.data(), c.size, extent), PropertyStreamStatus::truncated);
    EXPECT_EQ(extent.cx, c.cx);
    EXPECT_EQ(extent.cy, c.cy);
  }
}

}  // namespace
