#pragma once
// The control's starting extent: the size of its page dialog on this screen,
// in HIMETRIC (0.01 mm).
#include <windows.h>

#include "framework/dialog_template.h"

// What the control starts with when its dialog cannot be measured.
constexpr SIZEL kDefaultExtent = {5080, 5080};

// The HIMETRIC size that dialog `dialog_id` of `module` covers on the screen.
// kDefaultExtent when the template cannot be found, loaded, locked or read,
// or when no screen DC can be had.
SIZEL InitialExtent(HMODULE module, WORD dialog_id) noexcept;

// The same for a template already read: dialog units through the template's
// font (or the system's dialog base units) to pixels, then to HIMETRIC.
SIZEL DialogExtent(const DialogTemplate& dialog) noexcept;

// The control's extent. The starting one is measured only when first asked
// for: measuring realises the template's font, as costly as the rest of
// making a control, and a container that places the control by its own
// rectangle may never ask.
class ControlExtent {
 public:
  ControlExtent(HMODULE module, WORD dialog_id) noexcept : module_(module), dialog_id_(dialog_id) {}
  SIZEL Get() noexcept {
    if (!known_) Set(InitialExtent(module_, dialog_id_));
    return extent_;
  }
  void Set(SIZEL extent) noexcept {
    extent_ = extent;
    known_ = true;
  }

 private:
  HMODULE module_;
  WORD dialog_id_;
  bool known_ = false;
  SIZEL extent_ = {};
};
