#pragma once
// Reads a dialog template held in memory, in the extended form (DLGTEMPLATEEX,
// as DIALOGEX writes it) or the classic one (DLGTEMPLATE). Pure bytes: no
// platform headers, so it also builds natively. The reader never reads past
// `size`; a truncated or malformed template gives false and leaves `result`
// unchanged. Texts are the template's UTF-16 strings, without their NUL.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A class, menu or text field of a template: an ordinal or a string. A field
// that holds neither (a single zero word) reads as an empty string.
struct TemplateName {
  bool is_ordinal = false;
  std::uint16_t ordinal = 0;
  std::u16string text;
};

struct DialogItemTemplate {
  std::uint32_t help_id = 0;  // always 0 in the classic form
  std::uint32_t ex_style = 0;
  std::uint32_t style = 0;
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;
  // 32 bits in the extended form; the classic form's 16-bit id, zero-extended.
  std::uint32_t id = 0;
  TemplateName window_class;
  TemplateName text;
  std::vector<std::uint8_t> creation_data;
};

struct DialogTemplate {
  bool extended = false;
  std::uint32_t help_id = 0;  // always 0 in the classic form
  std::uint32_t ex_style = 0;
  std::uint32_t style = 0;
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;
  TemplateName menu;
  TemplateName window_class;
  std::u16string title;
  // The font part is present only when the style holds DS_SETFONT (0x40). The
  // classic form carries a point size and a face only.
  bool has_font = false;
  std::uint16_t point_size = 0;
  std::uint16_t weight = 0;
  bool italic = false;
  std::uint8_t charset = 0;
  std::u16string face;
  std::vector<DialogItemTemplate> items;
};

// `data` must be the start of the template as a resource holds it: items are
// aligned on 4-byte boundaries counted from there.
bool ReadDialogTemplate(const void* data, std::size_t size, DialogTemplate& result);
