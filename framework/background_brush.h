#pragma once
// The control window's background: a solid brush made from the container's
// ambient BackColor, and the answer to the colour messages of the dialog and
// its static texts. The brush is owned here and deleted when replaced.
#include <windows.h>
#include <oaidl.h>

#include "framework/handles.h"

class BackgroundBrush {
 public:
  // Deletes the current brush, then makes a new one from the ambient
  // BackColor. A failed read or translation leaves no brush and is returned.
  HRESULT Update(IDispatch* ambient) noexcept;

  // The result of WM_CTLCOLORDLG or WM_CTLCOLORSTATIC for `dc`: 0 in high
  // contrast or without a brush (the system colours apply); otherwise the
  // brush, after setting the DC's background colour to the brush's colour.
  LRESULT AnswerColorMessage(HDC dc, bool high_contrast) const noexcept;

 private:
  BrushHandle brush_;
};

// Whether the system reports high contrast (SPI_GETHIGHCONTRAST).
bool HighContrastOn() noexcept;
