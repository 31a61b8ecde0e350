// The 12-byte property stream decoder on any prefix of any bytes, against a
// plain reading of the layout: version word, then "_cx", then "_cy", each
// four little-endian bytes, taken over only when wholly present.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "control/property_stream.h"

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "mismatch: %s\n", what);
  std::abort();
}

std::uint32_t Word(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t Signed(std::uint32_t bits) {
  std::int32_t value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const PropertyExtent before{0x11111111, 0x22222222};
  PropertyExtent extent = before;
  const PropertyStreamStatus status = DecodePropertyStream(data, size, extent);

  PropertyExtent expected = before;
  PropertyStreamStatus expected_status = PropertyStreamStatus::complete;
  if (size < 4) {
    expected_status = PropertyStreamStatus::truncated;
  } else if (Word(data) > 0x00000A00) {
    expected_status = PropertyStreamStatus::unsupported_version;
  } else {
    if (size >= 8) expected.cx = Signed(Word(data + 4));
    if (size >= 12) expected.cy = Signed(Word(data + 8));
    if (size < 12) expected_status = PropertyStreamStatus::truncated;
  }
  Check(status == expected_status, "status");
  Check(extent.cx == expected.cx && extent.cy == expected.cy, "extent");

  if (status == PropertyStreamStatus::complete) {
    std::uint8_t bytes[kPropertyStreamSize];
    EncodePropertyStream(extent, bytes);
    Check(Word(bytes) == kPropertyStreamVersion, "written version");
    Check(std::memcmp(bytes + 4, data + 4, 8) == 0, "written extent");
  }
  return 0;
}
