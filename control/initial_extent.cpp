#include "control/initial_extent.h"

#include <new>
#include <string>

#include "framework/error_boundary.h"
#include "framework/handles.h"

namespace {

struct CharacterSize {
  int width;
  int height;
};

// The average character of the template's font as the dialog manager measures
// it: the 52 letters' width rounded, and the line height with its leading.
// May throw std::bad_alloc.
bool FontCharacterSize(HDC screen, const DialogTemplate& dialog, CharacterSize& size) {
  if (!dialog.has_font) return false;
  // A face name longer than LOGFONT holds is cut to fit.
  std::wstring face(dialog.face.begin(), dialog.face.end());
  if (face.size() > LF_FACESIZE - 1) face.resize(LF_FACESIZE - 1);
  FontHandle font(CreateFontW(-MulDiv(dialog.point_size, GetDeviceCaps(screen, LOGPIXELSY), 72), 0,
                              0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
  if (!font) return false;
  SelectedObject selected(screen, font.get());
  TEXTMETRICW metrics;
  if (!GetTextMetricsW(screen, &metrics)) return false;
  static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  SIZE letters;
  if (!GetTextExtentPoint32W(screen, kLetters, 52, &letters)) return false;
  size.width = (letters.cx + 26) / 52;
  size.height = metrics.tmHeight + metrics.tmExternalLeading;
  return true;
}

SIZEL MeasureOnScreen(HDC screen, const DialogTemplate& dialog) {
  CharacterSize character;
  if (!FontCharacterSize(screen, dialog, character)) {
    const LONG units = GetDialogBaseUnits();
    character = {LOWORD(units), HIWORD(units)};
  }
  const int pixel_width = MulDiv(dialog.cx, character.width, 4);
  const int pixel_height = MulDiv(dialog.cy, character.height, 8);
  return {MulDiv(2540, pixel_width, GetDeviceCaps(screen, LOGPIXELSX)),
          MulDiv(2540, pixel_height, GetDeviceCaps(screen, LOGPIXELSY))};
}

}  // namespace

SIZEL DialogExtent(const DialogTemplate& dialog) noexcept {
  WindowDc screen(nullptr);
  if (!screen) return kDefaultExtent;
  SIZEL extent = kDefaultExtent;  // out of memory: the extent every control falls back to
  CatchReturn([&] {
    extent = MeasureOnScreen(screen.get(), dialog);
    return S_OK;
  });
  return extent;
}

SIZEL InitialExtent(HMODULE module, WORD dialog_id) noexcept {
  HRSRC found = FindResource(module, MAKEINTRESOURCE(dialog_id), RT_DIALOG);
  if (!found) return kDefaultExtent;
  HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return kDefaultExtent;
  SIZEL extent = kDefaultExtent;  // also out of memory: the extent every control falls back to
  CatchReturn([&] {
    DialogTemplate dialog;
    if (ReadDialogTemplate(bytes, SizeofResource(module, found), dialog))
      extent = DialogExtent(dialog);
    return S_OK;
  });
  return extent;
}
