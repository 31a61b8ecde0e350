#pragma once
// The property stream read from and written to an IStream, one 4-byte field
// per call, in order.
#include <objidl.h>

#include "control/property_stream.h"

// Reads the version, then "_cx" and "_cy". A failing Read's error is returned
// as is; a short read, or a version newer than this format, gives E_FAIL.
// Properties read before the failure stay in `extent`; nothing else changes.
// A null stream gives E_INVALIDARG.
HRESULT ReadPropertyStream(IStream* stream, PropertyExtent& extent) noexcept;

// Writes the 12 bytes. The first failing Write ends the save with its error;
// a Write that reports success but takes fewer bytes than asked gives
// STG_E_MEDIUMFULL, so a cut-off save never passes as done. A null stream
// gives E_INVALIDARG.
HRESULT WritePropertyStream(IStream* stream, const PropertyExtent& extent) noexcept;
