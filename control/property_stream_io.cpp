#include "control/property_stream_io.h"

HRESULT ReadPropertyStream(IStream* stream, PropertyExtent& extent) noexcept {
  if (!stream) return E_INVALIDARG;
  std::uint8_t bytes[kPropertyStreamSize] = {};
  // Field by field, so that a newer version stops the read before its
  // properties and each property is taken over as soon as it is complete.
  for (std::size_t field = 0; field < kPropertyFieldCount; ++field) {
    const std::size_t offset = field * kPropertyFieldSize;
    ULONG read = 0;
    const HRESULT result = stream->Read(bytes + offset, kPropertyFieldSize, &read);
    if (FAILED(result)) return result;
    if (read < kPropertyFieldSize) return E_FAIL;
    if (DecodePropertyStream(bytes, offset + kPropertyFieldSize, extent) ==
        PropertyStreamStatus::unsupported_version)
      return E_FAIL;
  }
  return S_OK;
}

HRESULT WritePropertyStream(IStream* stream, const PropertyExtent& extent) noexcept {
  if (!stream) return E_INVALIDARG;
  std::uint8_t bytes[kPropertyStreamSize];
  EncodePropertyStream(extent, bytes);
  for (std::size_t offset = 0; offset < kPropertyStreamSize; offset += kPropertyFieldSize) {
    ULONG written = 0;
    const HRESULT result = stream->Write(bytes + offset, kPropertyFieldSize, &written);
    if (FAILED(result)) return result;
    if (written < kPropertyFieldSize) return STG_E_MEDIUMFULL;
  }
  return S_OK;
}
