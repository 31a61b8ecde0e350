// The dialog-template reader on any bytes: it must never read past the data,
// must leave its result untouched when it refuses, and when it accepts, the
// header fields the extent is computed from must be the bytes at their fixed
// offsets.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "framework/dialog_template.h"

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "mismatch: %s\n", what);
  std::abort();
}

std::uint16_t Word(const std::uint8_t* data, std::size_t offset) {
  return static_cast<std::uint16_t>(data[offset] | (data[offset + 1] << 8));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  DialogTemplate result;
  result.title = u"untouched";
  result.cx = 7;
  const bool read = ReadDialogTemplate(data, size, result);
  if (!read) {
    Check(result.title == u"untouched" && result.cx == 7 && result.items.empty(),
          "result changed by a refused template");
    return 0;
  }
  // Extended: version, signature, help id, ex-style, style, count, x, y, cx, cy.
  // Classic: style, ex-style, count, x, y, cx, cy.
  const bool extended = Word(data, 0) == 1 && Word(data, 2) == 0xFFFF;
  Check(result.extended == extended, "form");
  const std::size_t count_at = extended ? 16 : 8;
  Check(result.items.size() == Word(data, count_at), "item count");
  Check(static_cast<std::uint16_t>(result.cx) == Word(data, count_at + 6), "width");
  Check(static_cast<std::uint16_t>(result.cy) == Word(data, count_at + 8), "height");
  Check(result.has_font == ((result.style & 0x40) != 0), "font flag");
  return 0;
}
