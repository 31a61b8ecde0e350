#include "framework/background_brush.h"

#include <olectl.h>

#include "framework/ambient_properties.h"

HRESULT BackgroundBrush::Update(IDispatch* ambient) noexcept {
  brush_.reset();
  OLE_COLOR color = 0;
  HRESULT hr = ReadAmbientBackColor(ambient, color);
  if (FAILED(hr)) return hr;
  COLORREF rgb = 0;
  // An invalid system-colour index fails here; no brush then, rather than a
  // brush of an undefined colour.
  hr = OleTranslateColor(color, nullptr, &rgb);
  if (FAILED(hr)) return hr;
  brush_.reset(CreateSolidBrush(rgb));
  return brush_ ? S_OK : E_OUTOFMEMORY;
}

LRESULT BackgroundBrush::AnswerColorMessage(HDC dc, bool high_contrast) const noexcept {
  if (high_contrast || !brush_) return 0;
  LOGBRUSH description = {};
  if (GetObjectA(brush_.get(), sizeof description, &description) == sizeof description)
    SetBkColor(dc, description.lbColor);
  return reinterpret_cast<LRESULT>(brush_.get());
}

bool HighContrastOn() noexcept {
  HIGHCONTRASTA contrast = {};
  contrast.cbSize = sizeof contrast;
  if (!SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0)) return false;
  return (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}
