#include "platform/code_page_text.h"

#include <gtest/gtest.h>

namespace qdw::platform {
namespace {

constexpr int kJapanese = kAnsiCodePageJapanese;
constexpr int kWestern = kAnsiCodePageWestern;

// 表示\ソフト: both names' first characters end in 0x5C, the backslash.
const std::string kHyouji = "\x95\x5C\x8E\xA6";
const std::string kSofuto = "\x83\x5C\x83\x74\x83\x67";

TEST(CodePageTextTest, DoubleByteCharactersHideTheirBackslashTrailBytes) {
  const std::string path = "C:\\" + kHyouji + "\\" + kSofuto;
  EXPECT_EQ(FindLastChar(kJapanese, path, '\\'), 7u);
  EXPECT_EQ(FindChar(kJapanese, path, '\\', 3), 7u);
  EXPECT_EQ(FindLastChar(kWestern, path, '\\'), 9u) << "byte by byte the trail byte counts";
  EXPECT_EQ(CharCount(kJapanese, path), 9u);
  EXPECT_EQ(CharLength(kJapanese, path, 3), 2u);
  EXPECT_EQ(NextChar(kJapanese, path, 3), 5u);
  EXPECT_EQ(PreviousChar(kJapanese, path, 7), 5u);
  EXPECT_EQ(PreviousChar(kJapanese, path, 5), 3u);
  // A lead byte at the very end stands alone.
  EXPECT_EQ(CharLength(kJapanese, std::string("a\x95"), 1), 1u);
  // A text cut to a byte count keeps whole characters only.
  EXPECT_EQ(LeadingText(kJapanese, path, 4), "C:\\");
  EXPECT_EQ(LeadingText(kJapanese, path, 5), "C:\\" + kHyouji.substr(0, 2));
  EXPECT_EQ(LeadingText(kWestern, path, 4), path.substr(0, 4));
  EXPECT_EQ(LeadingText(kJapanese, path, 100), path);
}

TEST(CodePageTextTest, CaseFoldingChangesSingleByteCharactersOnly) {
  // 0x83 0x61 and 0x83 0x41 are two katakana whose trail bytes look like "a" and "A".
  const std::string small = "\x83\x61x.txt";
  const std::string large = "\x83\x41X.TXT";
  EXPECT_EQ(UpperText(kJapanese, small), "\x83\x61X.TXT");
  EXPECT_FALSE(EqualsIgnoreCaseText(kJapanese, small, large));
  EXPECT_TRUE(EqualsIgnoreCaseText(kJapanese, kSofuto + "a.TXT", kSofuto + "A.txt"));
  EXPECT_EQ(LowerText(kJapanese, "\xC9"), "\xC9") << "half-width katakana have no case";
  EXPECT_EQ(UpperText(kWestern, "caf\xE9"), "CAF\xC9");
}

TEST(CodePageTextTest, WildcardsCountADoubleByteCharacterAsOne) {
  EXPECT_TRUE(WildcardMatchText(kJapanese, "?\x8E\xA6", kHyouji));
  EXPECT_TRUE(WildcardMatchText(kJapanese, "??", kHyouji));
  EXPECT_FALSE(WildcardMatchText(kJapanese, "???", kHyouji));
  EXPECT_TRUE(WildcardMatchText(kJapanese, "*.TXT", kSofuto + ".txt"));
  EXPECT_TRUE(WildcardMatchText(kJapanese, kSofuto + ".*", kSofuto));
  EXPECT_FALSE(WildcardMatchText(kJapanese, "\x83\x41*", "\x83\x61"));
}

TEST(CodePageTextTest, ConvertsBetweenAnsiAndUtf8) {
  std::string utf8;
  EXPECT_TRUE(AnsiToUtf8(kJapanese, kHyouji + "\\" + kSofuto, &utf8));
  EXPECT_EQ(utf8, "表示\\ソフト");
  std::string ansi;
  EXPECT_TRUE(Utf8ToAnsi(kJapanese, "十能 申請", &ansi));
  EXPECT_EQ(ansi, "\x8F\x5C\x94\x5C \x90\x5C\x90\xBF");
  EXPECT_TRUE(AnsiToUtf8(kWestern, "caf\xE9 \x80", &utf8));
  EXPECT_EQ(utf8, "café €");
  EXPECT_TRUE(Utf8ToAnsi(kWestern, utf8, &ansi));
  EXPECT_EQ(ansi, "caf\xE9 \x80");

  // What the code page cannot hold, or text that is no text of it.
  EXPECT_FALSE(Utf8ToAnsi(kWestern, "表", &ansi));
  EXPECT_EQ(ansi, "?");
  EXPECT_FALSE(AnsiToUtf8(kJapanese, "a\x95", &utf8)) << "a lead byte without its trail byte";
  EXPECT_FALSE(Utf8ToAnsi(kWestern, "caf\xE9", &ansi)) << "not UTF-8";
  EXPECT_EQ(ansi, "caf\xE9") << "a byte that is not UTF-8 stays as it is";
}

TEST(CodePageTextTest, AsciiCheckSeesAHighByteAtEveryPositionFromItsStart) {
  // The check reads whole words: a high byte in any lane, or before `from`, must count right.
  for (size_t size = 0; size <= 20; ++size) {
    const std::string plain(size, 'a');
    for (size_t from = 0; from <= size + 1; ++from) EXPECT_TRUE(IsAsciiText(plain, from));
    for (size_t at = 0; at < size; ++at) {
      std::string text = plain;
      text[at] = '\xE9';
      for (size_t from = 0; from <= size; ++from) {
        EXPECT_EQ(IsAsciiText(text, from), at < from) << size << " " << at << " " << from;
      }
    }
  }
}

}  // namespace
}  // namespace qdw::platform
