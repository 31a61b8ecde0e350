#pragma once
// The control's persisted state as bytes: a 4-byte format version, then the
// extent's width ("_cx") and height ("_cy"), each the 4 stored bytes of a
// signed 32-bit value, all little-endian. Pure bytes: no platform headers.
#include <cstddef>
#include <cstdint>

struct PropertyExtent {
  std::int32_t cx = 0;
  std::int32_t cy = 0;
};

constexpr std::uint32_t kPropertyStreamVersion = 0x00000A00;
constexpr std::size_t kPropertyFieldSize = 4;
constexpr std::size_t kPropertyFieldCount = 3;  // version, "_cx", "_cy"
constexpr std::size_t kPropertyStreamSize = kPropertyFieldSize * kPropertyFieldCount;

// Writes the whole stream into `bytes`.
void EncodePropertyStream(const PropertyExtent& extent,
                          std::uint8_t (&bytes)[kPropertyStreamSize]) noexcept;

enum class PropertyStreamStatus {
  complete,             // all three fields were there
  truncated,            // the data ends inside or before a field
  unsupported_version,  // written by a newer format than this one reads
};

// Reads the first `size` bytes of a stream (any prefix, so a reader can check
// as it goes). Properties wholly present are taken over into `extent` in
// order, even when a later one is cut off; a version above
// kPropertyStreamVersion takes over nothing. Older versions read as the
// current one.
PropertyStreamStatus DecodePropertyStream(const std::uint8_t* data, std::size_t size,
                                          PropertyExtent& extent) noexcept;
