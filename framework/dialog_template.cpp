#include "framework/dialog_template.h"

#include <utility>

namespace {

constexpr std::uint32_t kSetFontStyle = 0x40;  // DS_SETFONT
constexpr std::uint16_t kExtendedSignature = 0xFFFF;

// Little-endian reads that fail instead of running past the end.
class Cursor {
 public:
  Cursor(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool Byte(std::uint8_t& value) {
    if (size_ - offset_ < 1) return false;
    value = data_[offset_++];
    return true;
  }
  bool Word(std::uint16_t& value) {
    if (size_ - offset_ < 2) return false;
    value = static_cast<std::uint16_t>(data_[offset_] | (data_[offset_ + 1] << 8));
    offset_ += 2;
    return true;
  }
  bool Short(std::int16_t& value) {
    std::uint16_t word = 0;
    if (!Word(word)) return false;
    value = static_cast<std::int16_t>(word);
    return true;
  }
  bool Dword(std::uint32_t& value) {
    std::uint16_t low = 0, high = 0;
    if (size_ - offset_ < 4) return false;
    Word(low);
    Word(high);
    value = static_cast<std::uint32_t>(low) | (static_cast<std::uint32_t>(high) << 16);
    return true;
  }
  bool Rectangle(std::int16_t& x, std::int16_t& y, std::int16_t& cx, std::int16_t& cy) {
    return Short(x) && Short(y) && Short(cx) && Short(cy);
  }
  // A NUL-terminated UTF-16 string; fails when the terminator is missing.
  bool String(std::u16string& text) {
    std::u16string read;
    for (;;) {
      std::uint16_t unit = 0;
      if (!Word(unit)) return false;
      if (unit == 0) break;
      read.push_back(static_cast<char16_t>(unit));
    }
    text = std::move(read);
    return true;
  }
  bool NameOrOrdinal(TemplateName& name) {
    std::uint16_t first = 0;
    if (size_ - offset_ < 2) return false;
    Word(first);
    if (first == 0xFFFF) {
      name.is_ordinal = true;
      return Word(name.ordinal);
    }
    name.is_ordinal = false;
    offset_ -= 2;
    return String(name.text);
  }
  bool Bytes(std::size_t count, std::vector<std::uint8_t>& bytes) {
    if (size_ - offset_ < count) return false;
    bytes.assign(data_ + offset_, data_ + offset_ + count);
    offset_ += count;
    return true;
  }
  bool AlignDword() {
    const std::size_t aligned = (offset_ + 3) & ~static_cast<std::size_t>(3);
    if (aligned > size_) return false;
    offset_ = aligned;
    return true;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t offset_ = 0;
};

bool ReadItem(Cursor& in, bool extended, DialogItemTemplate& item) {
  if (!in.AlignDword()) return false;
  if (extended) {
    if (!in.Dword(item.help_id) || !in.Dword(item.ex_style) || !in.Dword(item.style)) return false;
    if (!in.Rectangle(item.x, item.y, item.cx, item.cy) || !in.Dword(item.id)) return false;
  } else {
    std::uint16_t id = 0;
    if (!in.Dword(item.style) || !in.Dword(item.ex_style)) return false;
    if (!in.Rectangle(item.x, item.y, item.cx, item.cy) || !in.Word(id)) return false;
    item.id = id;
  }
  if (!in.NameOrOrdinal(item.window_class) || !in.NameOrOrdinal(item.text)) return false;
  // Both forms count the creation data in bytes after this word.
  std::uint16_t data_size = 0;
  return in.Word(data_size) && in.Bytes(data_size, item.creation_data);
}

bool ReadHeader(Cursor& in, DialogTemplate& dialog, std::uint16_t& item_count) {
  std::uint16_t version = 0, signature = 0;
  if (!in.Word(version) || !in.Word(signature)) return false;
  dialog.extended = version == 1 && signature == kExtendedSignature;
  if (dialog.extended) {
    if (!in.Dword(dialog.help_id) || !in.Dword(dialog.ex_style) || !in.Dword(dialog.style))
      return false;
  } else {
    // The classic form starts with the style; the two words just read are it.
    dialog.style = static_cast<std::uint32_t>(version) | (static_cast<std::uint32_t>(signature) << 16);
    if (!in.Dword(dialog.ex_style)) return false;
  }
  if (!in.Word(item_count) || !in.Rectangle(dialog.x, dialog.y, dialog.cx, dialog.cy))
    return false;
  if (!in.NameOrOrdinal(dialog.menu) || !in.NameOrOrdinal(dialog.window_class) ||
      !in.String(dialog.title))
    return false;
  dialog.has_font = (dialog.style & kSetFontStyle) != 0;
  if (!dialog.has_font) return true;
  if (!in.Word(dialog.point_size)) return false;
  if (dialog.extended) {
    std::uint8_t italic = 0;
    if (!in.Word(dialog.weight) || !in.Byte(italic) || !in.Byte(dialog.charset)) return false;
    dialog.italic = italic != 0;
  }
  return in.String(dialog.face);
}

}  // namespace

bool ReadDialogTemplate(const void* data, std::size_t size, DialogTemplate& result) {
  if (!data) return false;
  Cursor in(static_cast<const std::uint8_t*>(data), size);
  DialogTemplate dialog;
  std::uint16_t item_count = 0;
  if (!ReadHeader(in, dialog, item_count)) return false;
  // Items are added as they are read, so a bogus count costs nothing.
  for (std::uint16_t i = 0; i < item_count; ++i) {
    DialogItemTemplate item;
    if (!ReadItem(in, dialog.extended, item)) return false;
    dialog.items.push_back(std::move(item));
  }
  result = std::move(dialog);
  return true;
}
