#pragma once
// Reads the container's ambient properties through the ambient dispatch the
// control took from its client site. A null dispatch reads as E_FAIL; on any
// failure the out-argument is left unchanged.
#include <windows.h>
#include <oaidl.h>
#include <olectl.h>

// A property get of `id` (no arguments, LOCALE_USER_DEFAULT). `value` must be
// cleared by the caller on success; on failure it is VT_EMPTY.
HRESULT ReadAmbientProperty(IDispatch* ambient, DISPID id, VARIANT& value) noexcept;

// DISPID_AMBIENT_BACKCOLOR: the low 32 bits of the answer, whatever its type.
HRESULT ReadAmbientBackColor(IDispatch* ambient, OLE_COLOR& color) noexcept;
// DISPID_AMBIENT_USERMODE: an answer that is not VT_BOOL is a failed read.
HRESULT ReadAmbientUserMode(IDispatch* ambient, bool& user_mode) noexcept;
// DISPID_AMBIENT_LOCALEID; LOCALE_USER_DEFAULT when the container gives none.
LCID AmbientLocale(IDispatch* ambient) noexcept;
