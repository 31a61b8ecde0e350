#include "framework/ambient_properties.h"

HRESULT ReadAmbientProperty(IDispatch* ambient, DISPID id, VARIANT& value) noexcept {
  // Zeroed, so a narrower answer reads as its own value in the 32 bits.
  ZeroMemory(&value, sizeof value);
  if (!ambient) return E_FAIL;
  DISPPARAMS no_arguments = {nullptr, nullptr, 0, 0};
  const HRESULT hr = ambient->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                     &no_arguments, &value, nullptr, nullptr);
  // A container may have half-filled the result before failing.
  if (FAILED(hr)) VariantClear(&value);
  return hr;
}

HRESULT ReadAmbientBackColor(IDispatch* ambient, OLE_COLOR& color) noexcept {
  VARIANT value;
  const HRESULT hr = ReadAmbientProperty(ambient, DISPID_AMBIENT_BACKCOLOR, value);
  if (FAILED(hr)) return hr;
  color = static_cast<OLE_COLOR>(V_I4(&value));
  VariantClear(&value);
  return S_OK;
}

HRESULT ReadAmbientUserMode(IDispatch* ambient, bool& user_mode) noexcept {
  VARIANT value;
  const HRESULT hr = ReadAmbientProperty(ambient, DISPID_AMBIENT_USERMODE, value);
  if (FAILED(hr)) return hr;
  const bool isBool = V_VT(&value) == VT_BOOL;
  if (isBool) user_mode = V_BOOL(&value) != VARIANT_FALSE;
  VariantClear(&value);
  return isBool ? S_OK : E_FAIL;
}

LCID AmbientLocale(IDispatch* ambient) noexcept {
  VARIANT value;
  if (FAILED(ReadAmbientProperty(ambient, DISPID_AMBIENT_LOCALEID, value)))
    return LOCALE_USER_DEFAULT;
  VARIANT as_locale;
  VariantInit(&as_locale);
  LCID locale = LOCALE_USER_DEFAULT;
  if (SUCCEEDED(VariantChangeType(&as_locale, &value, 0, VT_UI4))) locale = V_UI4(&as_locale);
  VariantClear(&value);
  return locale;
}
