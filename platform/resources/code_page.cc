#include "platform/resources/code_page.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>

#include "platform/resources/code_page_932_table.h"

namespace qdw::resources {
namespace {

// Characters of the bytes 0x80 to 0x9F of code page 1252; 0 where the byte is unassigned there.
// Every other byte stands for the character of the same number.
constexpr char16_t kWestern80To9F[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 0x88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 0x98
};

// The byte of a character in code page 1252, or false when it has none.
bool WesternByte(char16_t c, uint8_t* byte) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
    *byte = static_cast<uint8_t>(c);
    return true;
  }
  for (int i = 0; i < 32; ++i) {
    if (kWestern80To9F[i] == c) {
      *byte = static_cast<uint8_t>(0x80 + i);
      return true;
    }
  }
  // The unassigned bytes stand for the control characters of the same number.
  if (c >= 0x80 && c <= 0x9F && kWestern80To9F[c - 0x80] == 0) {
    *byte = static_cast<uint8_t>(c);
    return true;
  }
  return false;
}

// The bytes of a character in code page 932 (one, or a lead and a trail byte), or false when it
// has none.
bool JapaneseBytes(char16_t c, std::string* bytes) {
  const CodePage932Entry* end = CodePage932Table() + CodePage932TableSize();
  const CodePage932Entry* found = std::lower_bound(
      CodePage932Table(), end, c,
      [](const CodePage932Entry& entry, char16_t wanted) { return entry.character < wanted; });
  if (found == end || found->character != c) return false;
  if (found->bytes > 0xFF) bytes->push_back(static_cast<char>(found->bytes >> 8));
  bytes->push_back(static_cast<char>(found->bytes & 0xFF));
  return true;
}

bool KnownCodePage(int code_page) {
  return code_page == kCodePageWestern || code_page == kCodePageJapanese;
}

// Appends the bytes of one character in the code page; false when it has none.
bool AppendCharacter(char16_t c, int code_page, std::string* out) {
  if (code_page == kCodePageJapanese) return JapaneseBytes(c, out);
  uint8_t byte = 0;
  if (!WesternByte(c, &byte)) return false;
  out->push_back(static_cast<char>(byte));
  return true;
}

// Characters of code page 932 by their bytes (one byte, or lead byte * 256 + trail byte); 0
// where the bytes are no character.
const char16_t* JapaneseDecodeTable() {
  static const std::unique_ptr<char16_t[]> table = [] {
    auto decode = std::make_unique<char16_t[]>(0x10000);
    const CodePage932Entry* table = CodePage932Table();
    for (int i = 0; i < CodePage932TableSize(); ++i) {
      decode[table[i].bytes] = table[i].character;
    }
    return decode;
  }();
  return table.get();
}

constexpr char16_t kReplacementCharacter = 0xFFFD;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

bool Utf16ToCodePage(const std::u16string& text, int code_page, std::string* out) {
  if (!KnownCodePage(code_page)) return false;
  std::string converted;
  converted.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (AppendCharacter(text[i], code_page, &converted)) continue;
    if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ++i;
    converted.push_back('?');
  }
  *out = std::move(converted);
  return true;
}

bool FitsCodePage(const std::u16string& text, int code_page) {
  if (!KnownCodePage(code_page)) return false;
  std::string bytes;
  for (char16_t c : text) {
    if (!AppendCharacter(c, code_page, &bytes)) return false;
  }
  return true;
}

bool CodePageToUtf16(const std::string& text, int code_page, std::u16string* out) {
  out->clear();
  if (!KnownCodePage(code_page)) return false;
  out->reserve(text.size());
  bool complete = true;
  const char16_t* japanese = code_page == kCodePageJapanese ? JapaneseDecodeTable() : nullptr;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<uint8_t>(text[i]);
    char16_t c = byte;
    if (japanese != nullptr) {
      unsigned bytes = byte;
      if (IsJapaneseLeadByte(byte) && i + 1 < text.size()) {
        bytes = bytes << 8 | static_cast<uint8_t>(text[++i]);
      }
      c = japanese[bytes];
      // NUL is the one character whose table entry reads as "none".
      if (c == 0 && bytes != 0) c = kReplacementCharacter;
    } else if (byte >= 0x80 && byte <= 0x9F && kWestern80To9F[byte - 0x80] != 0) {
      c = kWestern80To9F[byte - 0x80];
    }
    if (c == kReplacementCharacter) complete = false;
    out->push_back(c);
  }
  return complete;
}

}  // namespace qdw::resources
