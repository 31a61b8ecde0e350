#include "control/property_stream.h"

namespace {

void PutField(std::uint8_t* out, std::uint32_t value) noexcept {
  for (std::size_t i = 0; i < kPropertyFieldSize; ++i)
    out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetField(const std::uint8_t* in) noexcept {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < kPropertyFieldSize; ++i)
    value |= static_cast<std::uint32_t>(in[i]) << (8 * i);
  return value;
}

// The stored bytes back as the signed value they came from, without relying
// on an implementation-defined narrowing.
std::int32_t ToSigned(std::uint32_t bits) noexcept {
  if (bits <= 0x7FFFFFFFu) return static_cast<std::int32_t>(bits);
  return -static_cast<std::int32_t>(~bits) - 1;
}

}  // namespace

void EncodePropertyStream(const PropertyExtent& extent,
                          std::uint8_t (&bytes)[kPropertyStreamSize]) noexcept {
  PutField(bytes, kPropertyStreamVersion);
  PutField(bytes + kPropertyFieldSize, static_cast<std::uint32_t>(extent.cx));
  PutField(bytes + 2 * kPropertyFieldSize, static_cast<std::uint32_t>(extent.cy));
}

PropertyStreamStatus DecodePropertyStream(const std::uint8_t* data, std::size_t size,
                                          PropertyExtent& extent) noexcept {
  if (size < kPropertyFieldSize) return PropertyStreamStatus::truncated;
  if (GetField(data) > kPropertyStreamVersion) return PropertyStreamStatus::unsupported_version;
  if (size < 2 * kPropertyFieldSize) return PropertyStreamStatus::truncated;
  extent.cx = ToSigned(GetField(data + kPropertyFieldSize));
  if (size < kPropertyStreamSize) return PropertyStreamStatus::truncated;
  extent.cy = ToSigned(GetField(data + 2 * kPropertyFieldSize));
  return PropertyStreamStatus::complete;
}
