// The template reader on templates assembled here byte by byte: both forms,
// alignment, ordinals against strings, and every truncation.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/dialog_template.h"

namespace {

class TemplateBytes {
 public:
  TemplateBytes& Byte(std::uint8_t value) {
    bytes_.push_back(value);
    return *this;
  }
  TemplateBytes& Word(std::uint16_t value) { return Byte(value & 0xFF).Byte(value >> 8); }
  TemplateBytes& Dword(std::uint32_t value) { return Word(value & 0xFFFF).Word(value >> 16); }
  TemplateBytes& Rect(std::int16_t x, std::int16_t y, std::int16_t cx, std::int16_t cy) {
    return Word(x).Word(y).Word(cx).Word(cy);
  }
  TemplateBytes& Text(const std::u16string& text) {
    for (char16_t unit : text) Word(unit);
    return Word(0);
  }
  TemplateBytes& Ordinal(std::uint16_t value) { return Word(0xFFFF).Word(value); }
  TemplateBytes& Align() {
    while (bytes_.size() % 4) Byte(0);
    return *this;
  }
  std::size_t size() const { return bytes_.size(); }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

constexpr std::uint32_t kSetFont = 0x40;

// Header of 90 bytes, so the first item needs two bytes of padding; the first
// item ends at 130, so the second needs two more.
TemplateBytes ExtendedTemplate() {
  TemplateBytes t;
  t.Word(1).Word(0xFFFF).Dword(0x11223344).Dword(0x00010200).Dword(0x40000048);
  t.Word(2).Rect(-3, 4, 398, 237);
  t.Ordinal(7).Text(u"PageClass").Text(u"Tst");
  t.Word(9).Word(700).Byte(1).Byte(0xEE).Text(u"MS Shell Dlg");
  EXPECT_EQ(t.size(), 90u);
  t.Align();
  t.Dword(5).Dword(0x4).Dword(0x50010000).Rect(234, 41, 41, 14).Dword(0xFFFFFFFF);
  t.Ordinal(0x80).Text(u"&Go").Word(0);
  EXPECT_EQ(t.size(), 130u);
  t.Align();
  t.Dword(0).Dword(0).Dword(0x50000000).Rect(13, 85, 294, 61).Dword(1277);
  t.Text(u"SysListView32").Ordinal(42).Word(3).Byte(0xA1).Byte(0xA2).Byte(0xA3);
  return t;
}

TemplateBytes ClassicTemplate() {
  TemplateBytes t;
  t.Dword(0x40000000 | kSetFont).Dword(0x200).Word(1).Rect(0, 0, 100, 50);
  t.Word(0).Word(0).Word(0);  // no menu, no class, no title
  t.Word(8).Text(u"Tahoma");
  t.Align();
  t.Dword(0x50020002).Dword(0x20).Rect(7, 10, 141, 9).Word(0xFFFF);
  t.Ordinal(0x82).Text(u"Label:").Word(4).Word(4).Word(0xBEEF);
  return t;
}

bool Read(const TemplateBytes& t, std::size_t size, DialogTemplate& result) {
  return ReadDialogTemplate(t.bytes().data(), size, result);
}

TEST(DialogTemplateReader, ReadsEveryFieldOfAnExtendedTemplate) {
  const TemplateBytes t = ExtendedTemplate();
  DialogTemplate dialog;
  ASSERT_TRUE(Read(t, t.size(), dialog));
  EXPECT_TRUE(dialog.extended);
  EXPECT_EQ(dialog.help_id, 0x11223344u);
  EXPECT_EQ(dialog.ex_style, 0x00010200u);
  EXPECT_EQ(dialog.style, 0x40000048u);
  EXPECT_EQ(dialog.x, -3);
  EXPECT_EQ(dialog.y, 4);
  EXPECT_EQ(dialog.cx, 398);
  EXPECT_EQ(dialog.cy, 237);
  EXPECT_TRUE(dialog.menu.is_ordinal);
  EXPECT_EQ(dialog.menu.ordinal, 7);
  EXPECT_FALSE(dialog.window_class.is_ordinal);
  EXPECT_EQ(dialog.window_class.text, u"PageClass");
  EXPECT_EQ(dialog.title, u"Tst");
  EXPECT_TRUE(dialog.has_font);
  EXPECT_EQ(dialog.point_size, 9);
  EXPECT_EQ(dialog.weight, 700);
  EXPECT_TRUE(dialog.italic);
  EXPECT_EQ(dialog.charset, 0xEE);
  EXPECT_EQ(dialog.face, u"MS Shell Dlg");

  ASSERT_EQ(dialog.items.size(), 2u);
  const DialogItemTemplate& go = dialog.items[0];
  EXPECT_EQ(go.help_id, 5u);
  EXPECT_EQ(go.ex_style, 0x4u);
  EXPECT_EQ(go.style, 0x50010000u);
  EXPECT_EQ(go.x, 234);
  EXPECT_EQ(go.y, 41);
  EXPECT_EQ(go.cx, 41);
  EXPECT_EQ(go.cy, 14);
  EXPECT_EQ(go.id, 0xFFFFFFFFu);
  EXPECT_TRUE(go.window_class.is_ordinal);
  EXPECT_EQ(go.window_class.ordinal, 0x80);
  EXPECT_FALSE(go.text.is_ordinal);
  EXPECT_EQ(go.text.text, u"&Go");
  EXPECT_TRUE(go.creation_data.empty());

  const DialogItemTemplate& list = dialog.items[1];
  EXPECT_EQ(list.style, 0x50000000u);
  EXPECT_EQ(list.id, 1277u);
  EXPECT_FALSE(list.window_class.is_ordinal);
  EXPECT_EQ(list.window_class.text, u"SysListView32");
  EXPECT_TRUE(list.text.is_ordinal);
  EXPECT_EQ(list.text.ordinal, 42);
  EXPECT_EQ(list.creation_data, (std::vector<std::uint8_t>{0xA1, 0xA2, 0xA3}));
}

TEST(DialogTemplateReader, ReadsAClassicTemplate) {
  const TemplateBytes t = ClassicTemplate();
  DialogTemplate dialog;
  ASSERT_TRUE(Read(t, t.size(), dialog));
  EXPECT_FALSE(dialog.extended);
  EXPECT_EQ(dialog.style, 0x40000040u);
  EXPECT_EQ(dialog.ex_style, 0x200u);
  EXPECT_EQ(dialog.help_id, 0u);
  EXPECT_EQ(dialog.cx, 100);
  EXPECT_EQ(dialog.cy, 50);
  // A single zero word is "none": an empty string, not an ordinal.
  EXPECT_FALSE(dialog.menu.is_ordinal);
  EXPECT_TRUE(dialog.menu.text.empty());
  EXPECT_TRUE(dialog.window_class.text.empty());
  EXPECT_TRUE(dialog.title.empty());
  EXPECT_TRUE(dialog.has_font);
  EXPECT_EQ(dialog.point_size, 8);
  EXPECT_EQ(dialog.weight, 0);
  EXPECT_FALSE(dialog.italic);
  EXPECT_EQ(dialog.charset, 0);
  EXPECT_EQ(dialog.face, u"Tahoma");

  ASSERT_EQ(dialog.items.size(), 1u);
  const DialogItemTemplate& label = dialog.items[0];
  EXPECT_EQ(label.style, 0x50020002u);  // the classic item starts with the style
  EXPECT_EQ(label.ex_style, 0x20u);
  EXPECT_EQ(label.help_id, 0u);
  EXPECT_EQ(label.id, 0xFFFFu);
  EXPECT_EQ(label.window_class.ordinal, 0x82);
  EXPECT_EQ(label.text.text, u"Label:");
  EXPECT_EQ(label.creation_data, (std::vector<std::uint8_t>{4, 0, 0xEF, 0xBE}));
}

TEST(DialogTemplateReader, NoFontPartWithoutSetFontStyle) {
  // Without DS_SETFONT the item follows the title at once; a reader that
  // expected a font there would take the item's words for one.
  TemplateBytes t;
  t.Dword(0x40000000).Dword(0).Word(1).Rect(0, 0, 10, 10).Word(0).Word(0).Text(u"A");
  t.Align();
  t.Dword(0x50000000).Dword(0).Rect(1, 2, 3, 4).Word(12).Ordinal(0x81).Word(0).Word(0);
  DialogTemplate dialog;
  ASSERT_TRUE(Read(t, t.size(), dialog));
  EXPECT_FALSE(dialog.has_font);
  EXPECT_EQ(dialog.point_size, 0);
  EXPECT_TRUE(dialog.face.empty());
  ASSERT_EQ(dialog.items.size(), 1u);
  EXPECT_EQ(dialog.items[0].id, 12u);
  EXPECT_EQ(dialog.items[0].window_class.ordinal, 0x81);
  EXPECT_TRUE(dialog.items[0].text.text.empty());
}

TEST(DialogTemplateReader, EveryTruncationFailsAndLeavesTheResult) {
  for (const TemplateBytes& t : {ExtendedTemplate(), ClassicTemplate()}) {
    for (std::size_t size = 0; size < t.size(); ++size) {
      DialogTemplate dialog;
      dialog.title = u"untouched";
      EXPECT_FALSE(Read(t, size, dialog)) << "size " << size;
      EXPECT_EQ(dialog.title, u"untouched") << "size " << size;
      EXPECT_TRUE(dialog.items.empty()) << "size " << size;
    }
  }
}

TEST(DialogTemplateReader, RejectsMalformedTemplates) {
  DialogTemplate dialog;
  EXPECT_FALSE(ReadDialogTemplate(nullptr, 64, dialog));

  // A title without its terminating zero at the very end.
  TemplateBytes unterminated;
  unterminated.Dword(0).Dword(0).Word(0).Rect(0, 0, 1, 1).Word(0).Word(0).Word('A').Word('B');
  EXPECT_FALSE(Read(unterminated, unterminated.size(), dialog));

  // Creation data said to be longer than what is left.
  TemplateBytes long_data;
  long_data.Dword(0).Dword(0).Word(1).Rect(0, 0, 1, 1).Word(0).Word(0).Word(0).Align();
  long_data.Dword(0).Dword(0).Rect(0, 0, 1, 1).Word(1).Ordinal(0x80).Word(0).Word(9).Word(0);
  EXPECT_FALSE(Read(long_data, long_data.size(), dialog));

  // An item count far above the items present.
  TemplateBytes many = ClassicTemplate();
  std::vector<std::uint8_t> bytes = many.bytes();
  bytes[8] = 0xFF;
  bytes[9] = 0xFF;
  EXPECT_FALSE(ReadDialogTemplate(bytes.data(), bytes.size(), dialog));
}

TEST(DialogTemplateReader, TrailingBytesAfterTheLastItemAreIgnored) {
  TemplateBytes t = ClassicTemplate();
  const std::size_t exact = t.size();
  t.Dword(0xDEADBEEF);
  DialogTemplate dialog;
  ASSERT_TRUE(Read(t, t.size(), dialog));
  DialogTemplate exact_dialog;
  ASSERT_TRUE(Read(t, exact, exact_dialog));
  ASSERT_EQ(dialog.items.size(), 1u);
  EXPECT_EQ(dialog.items[0].creation_data, exact_dialog.items[0].creation_data);
}

}  // namespace
