// Decoding of string blocks, dialog templates and icon groups from hand-made bytes, including
// the malformed shapes a damaged module can have.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/resources/code_page.h"
#include "platform/resources/dialog_template.h"
#include "platform/resources/icon_group.h"
#include "platform/resources/string_table.h"

namespace qdw::resources {
namespace {

class Writer {
 public:
  Writer& U8(uint8_t v) {
    bytes.push_back(v);
    return *this;
  }
  Writer& U16(uint16_t v) { return U8(static_cast<uint8_t>(v)).U8(static_cast<uint8_t>(v >> 8)); }
  Writer& U32(uint32_t v) {
    return U16(static_cast<uint16_t>(v)).U16(static_cast<uint16_t>(v >> 16));
  }
  Writer& Text(const std::u16string& text) {
    for (char16_t c : text) U16(c);
    return U16(0);
  }
  Writer& Align4() {
    while (bytes.size() % 4) bytes.push_back(0);
    return *this;
  }
  std::vector<uint8_t> bytes;
};

// A block holding "OK" at place 1, u"Caf\u00e9 \u20ac" at place 2 and nothing elsewhere.
std::vector<uint8_t> SampleBlock() {
  Writer w;
  w.U16(0);
  w.U16(2).U16('O').U16('K');
  w.U16(6).U16('C').U16('a').U16('f').U16(0xE9).U16(' ').U16(0x20AC);
  for (int i = 3; i < 16; ++i) w.U16(0);
  return w.bytes;
}

TEST(StringBlockTest, DecodesEntriesAndMapsIdsToBlocks) {
  std::u16string text;
  ASSERT_TRUE(DecodeStringBlockEntry(SampleBlock(), 1, &text));
  EXPECT_EQ(text, u"OK");
  ASSERT_TRUE(DecodeStringBlockEntry(SampleBlock(), 15, &text));
  EXPECT_TRUE(text.empty());
  EXPECT_FALSE(DecodeStringBlockEntry(SampleBlock(), 16, &text));
  EXPECT_EQ(StringBlockId(0), 1);
  EXPECT_EQ(StringBlockId(15), 1);
  EXPECT_EQ(StringBlockId(16), 2);
  EXPECT_EQ(StringBlockId(1032), 65);
  EXPECT_EQ(StringBlockId(65535), 4096);
}

TEST(StringBlockTest, TruncatedOrOverlongBlocksFail) {
  std::vector<uint8_t> block = SampleBlock();
  std::u16string text;
  block.resize(9);  // cuts into the second string
  EXPECT_FALSE(DecodeStringBlockEntry(block, 2, &text));
  EXPECT_TRUE(DecodeStringBlockEntry(block, 1, &text));
  std::vector<uint8_t> overlong = {0, 0, 0xFF, 0xFF, 'a', 0};
  EXPECT_FALSE(DecodeStringBlockEntry(overlong, 1, &text));
  EXPECT_FALSE(DecodeStringBlockEntry({}, 0, &text));
}

TEST(CodePageTest, WesternCodePageMapsItsOwnCharactersAndMarksTheRest) {
  std::string out;
  ASSERT_TRUE(Utf16ToCodePage(u"Caf\u00e9 \u20ac \u2026 \u201cq\u201d", kCodePageWestern, &out));
  EXPECT_EQ(out, "Caf\xE9 \x80 \x85 \x93q\x94");
  // No byte for Greek, one "?" for a surrogate pair, one for a lone surrogate.
  ASSERT_TRUE(Utf16ToCodePage(u"\u03b1-\U0001F600-\xD800", kCodePageWestern, &out));
  EXPECT_EQ(out, "?-?-?");
  EXPECT_TRUE(FitsCodePage(u"Quillon Deskora \u00a9", kCodePageWestern));
  EXPECT_FALSE(FitsCodePage(u"\u65e5\u672c", kCodePageWestern));
  out = "kept";
  EXPECT_FALSE(Utf16ToCodePage(u"x", 65001, &out));
  EXPECT_EQ(out, "kept");
}

TEST(CodePageTest, JapaneseCodePageWritesShiftJisAndMarksTheRest) {
  std::string out;
  // Kana and kanji take two bytes, ASCII and half-width katakana one; the yen sign has no byte
  // of its own in the system's table and the backslash stays 0x5C.
  ASSERT_TRUE(Utf16ToCodePage(u"\u65e5\u672c\u8a9e a\\\uff71\u3042", kCodePageJapanese, &out));
  EXPECT_EQ(out, "\x93\xFA\x96\x7B\x8C\xEA a\\\xB1\x82\xA0");
  EXPECT_TRUE(IsJapaneseLeadByte(static_cast<unsigned char>(out[0])));
  EXPECT_FALSE(IsJapaneseLeadByte(static_cast<unsigned char>('a')));
  ASSERT_TRUE(Utf16ToCodePage(u"\u00e9-\U0001F600", kCodePageJapanese, &out));
  EXPECT_EQ(out, "?-?");
  EXPECT_TRUE(FitsCodePage(u"\u30d0\u30c3\u30af\u30a2\u30c3\u30d7 OK", kCodePageJapanese));
  EXPECT_FALSE(FitsCodePage(u"Caf\u00e9", kCodePageJapanese));
}

// A plain DLGTEMPLATE: one button given by class atom and one custom control by class name.
std::vector<uint8_t> PlainTemplate() {
  Writer w;
  w.U32(0x80C80040).U32(0).U16(2).U16(0).U16(0).U16(200).U16(100);
  w.U16(0).U16(0).Text(u"Plain");
  w.U16(8).Text(u"MS Shell Dlg");
  w.Align4().U32(0x50010001).U32(0).U16(10).U16(20).U16(50).U16(14).U16(1);
  w.U16(0xFFFF).U16(0x80).Text(u"&OK").U16(0);
  w.Align4().U32(0x50000000).U32(0x200).U16(1).U16(2).U16(3).U16(4).U16(0xFFFF);
  w.Text(u"SYSANIMATE32").U16(0xFFFF).U16(136).U16(0);
  return w.bytes;
}

TEST(DialogTemplateTest, ParsesThePlainLayout) {
  DialogTemplate dialog;
  ASSERT_TRUE(ParseDialogTemplate(PlainTemplate(), kCodePageWestern, &dialog));
  EXPECT_FALSE(dialog.extended);
  EXPECT_EQ(dialog.caption, "Plain");
  EXPECT_EQ(dialog.cx, 200);
  EXPECT_TRUE(dialog.has_font);
  EXPECT_EQ(dialog.font_points, 8);
  EXPECT_EQ(dialog.font_name, "MS Shell Dlg");
  ASSERT_EQ(dialog.controls.size(), 2u);
  const DialogControl* ok = dialog.Control(1);
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->class_name, "Button");
  EXPECT_EQ(ok->class_atom, 0x80);
  EXPECT_EQ(ok->text.name, "&OK");
  EXPECT_EQ(ok->style, 0x50010001u);
  const DialogControl* animation = dialog.Control(-1);
  ASSERT_NE(animation, nullptr);
  EXPECT_EQ(animation->class_name, "SysAnimate32");
  EXPECT_TRUE(animation->text.is_ordinal);
  EXPECT_EQ(animation->text.ordinal, 136);
  EXPECT_EQ(animation->ex_style, 0x200u);
}

TEST(DialogTemplateTest, ParsesTheExtendedLayoutWithCreationData) {
  Writer w;
  w.U16(1).U16(0xFFFF).U32(7).U32(0x40000).U32(0x80C80048).U16(1);
  w.U16(0).U16(0).U16(100).U16(50).U16(0).U16(0).Text(u"Extended");
  w.U16(8).U16(400).U8(1).U8(1).Text(u"MS Shell Dlg");
  w.Align4().U32(0).U32(0).U32(0x50000000).U16(7).U16(7).U16(40).U16(8).U32(0xFFFFFFFF);
  w.U16(0xFFFF).U16(0x82).Text(u"Label").U16(3).U8(9).U8(8).U8(7);
  DialogTemplate dialog;
  ASSERT_TRUE(ParseDialogTemplate(w.bytes, kCodePageWestern, &dialog));
  EXPECT_TRUE(dialog.extended);
  EXPECT_EQ(dialog.help_id, 7u);
  EXPECT_EQ(dialog.ex_style, 0x40000u);
  EXPECT_EQ(dialog.font_weight, 400);
  EXPECT_TRUE(dialog.font_italic);
  ASSERT_EQ(dialog.controls.size(), 1u);
  EXPECT_EQ(dialog.controls[0].id, -1);
  EXPECT_EQ(dialog.controls[0].class_name, "Static");
  EXPECT_EQ(dialog.controls[0].creation_data, (std::vector<uint8_t>{9, 8, 7}));
}

TEST(DialogTemplateTest, TruncatedOrOvercountedTemplatesFail) {
  const std::vector<uint8_t> whole = PlainTemplate();
  DialogTemplate dialog;
  for (size_t length = 0; length < whole.size(); ++length) {
    std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(length));
    EXPECT_FALSE(ParseDialogTemplate(cut, kCodePageWestern, &dialog)) << length;
  }
  std::vector<uint8_t> overcounted = whole;
  overcounted[8] = 0xFF;  // claims 255 controls, holds 2
  overcounted[9] = 0x00;
  EXPECT_FALSE(ParseDialogTemplate(overcounted, kCodePageWestern, &dialog));
  std::vector<uint8_t> unterminated = {0x00, 0x00, 0x00, 0x00, 0, 0, 0, 0, 0,   0, 0,   0,
                                       0,    0,    0,    0,    0, 0, 0, 0, 'C', 0, 'a', 0};
  EXPECT_FALSE(ParseDialogTemplate(unterminated, kCodePageWestern, &dialog));
}

TEST(IconGroupTest, ParsesAGroupAndBuildsTheIcoFile) {
  Writer w;
  w.U16(0).U16(1).U16(2);
  w.U8(32).U8(32).U8(0).U8(0).U16(1).U16(32).U32(999).U16(1);
  w.U8(0).U8(0).U8(0).U8(0).U16(1).U16(32).U32(5).U16(2);
  std::vector<IconGroupEntry> entries;
  ASSERT_TRUE(ParseIconGroup(w.bytes, &entries));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].width, 32);
  EXPECT_EQ(entries[0].image_id, 1);
  EXPECT_EQ(entries[1].width, 256);
  std::vector<uint8_t> ico;
  ASSERT_TRUE(BuildIconFile(entries, {{1, 2, 3}, {4, 5}}, &ico));
  ASSERT_EQ(ico.size(), 6u + 2 * 16 + 5);
  EXPECT_EQ(ico[2], 1);  // an icon, not a cursor
  EXPECT_EQ(ico[4], 2);
  // The file records each image's true size and where it starts.
  EXPECT_EQ(ico[6 + 8], 3);
  EXPECT_EQ(ico[6 + 12], 38);
  EXPECT_EQ(ico[22 + 8], 2);
  EXPECT_EQ(ico[22 + 12], 41);
  EXPECT_EQ(ico[6], 32);
  EXPECT_EQ(ico[22], 0);  // 256 is written as 0
  EXPECT_FALSE(BuildIconFile(entries, {{1}}, &ico));
}

TEST(IconGroupTest, MalformedGroupsAreRefused) {
  std::vector<IconGroupEntry> entries;
  EXPECT_FALSE(ParseIconGroup({0, 0, 2, 0, 0, 0}, &entries));     // a cursor group
  EXPECT_FALSE(ParseIconGroup({0, 0, 1, 0, 5, 0, 1}, &entries));  // five entries, none there
  EXPECT_FALSE(ParseIconGroup({0, 0}, &entries));
}

}  // namespace
}  // namespace qdw::resources
