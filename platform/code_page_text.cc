#include "platform/code_page_text.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/resources/code_page.h"
#include "platform/windows_path.h"

namespace qdw::platform {
namespace {

char FoldSingleByte(int code_page, char c, bool upper) {
  if (code_page == kAnsiCodePageJapanese) {
    // The single bytes above ASCII are half-width katakana, which have no case.
    if (upper && c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
    if (!upper && c >= 'A' && c <= 'Z') return static_cast<char>(c + 32);
    return c;
  }
  return upper ? ToUpperAnsi(c) : ToLowerAnsi(c);
}

// Code page 1252's case of every byte, looked up rather than computed byte by byte.
struct FoldTables {
  char upper[256];
  char lower[256];
  FoldTables() {
    for (int byte = 0; byte < 256; ++byte) {
      upper[byte] = ToUpperAnsi(static_cast<char>(byte));
      lower[byte] = ToLowerAnsi(static_cast<char>(byte));
    }
  }
};

// Folds `text` from `from` on (a character boundary) in place.
void FoldFrom(int code_page, std::string* text, size_t from, bool upper) {
  // Paths are folded on every file call of the stand-in: a single-byte code page needs no
  // walk by characters.
  if (code_page != kAnsiCodePageJapanese) {
    static const FoldTables tables;
    const char* table = upper ? tables.upper : tables.lower;
    // Through a plain pointer: a store through the string would make every byte reload it.
    char* bytes = text->data();
    const size_t size = text->size();
    for (size_t i = from; i < size; ++i) bytes[i] = table[static_cast<unsigned char>(bytes[i])];
    return;
  }
  for (size_t i = from; i < text->size();) {
    size_t length = CharLength(code_page, *text, i);
    if (length == 1) (*text)[i] = FoldSingleByte(code_page, (*text)[i], upper);
    i += length;
  }
}

std::string Fold(int code_page, std::string text, bool upper) {
  FoldFrom(code_page, &text, 0, upper);
  return text;
}

// The text cut into characters, each folded to upper case.
std::vector<std::string> UpperCharacters(int code_page, const std::string& text) {
  std::vector<std::string> characters;
  for (size_t i = 0; i < text.size();) {
    size_t length = CharLength(code_page, text, i);
    std::string character = text.substr(i, length);
    if (length == 1) character[0] = FoldSingleByte(code_page, character[0], true);
    characters.push_back(std::move(character));
    i += length;
  }
  return characters;
}

bool MatchFrom(const std::vector<std::string>& p, size_t pi, const std::vector<std::string>& n,
               size_t ni) {
  while (pi < p.size()) {
    if (p[pi] == "*") {
      while (pi < p.size() && p[pi] == "*") ++pi;
      if (pi == p.size()) return true;
      for (size_t k = ni; k <= n.size(); ++k) {
        if (MatchFrom(p, pi, n, k)) return true;
      }
      return false;
    }
    if (ni >= n.size()) {
      // A trailing ".*" or "." also matches a name without an extension, as on Windows.
      return (pi + 2 == p.size() && p[pi] == "." && p[pi + 1] == "*") ||
             (pi + 1 == p.size() && p[pi] == ".");
    }
    if (p[pi] != "?" && p[pi] != n[ni]) return false;
    ++pi;
    ++ni;
  }
  return ni == n.size();
}

void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// Decodes the UTF-8 character at `*pos` and moves past it; false (and `*pos` unchanged) when the
// bytes there are not one.
bool DecodeUtf8(const std::string& text, size_t* pos, char32_t* out) {
  const auto lead = static_cast<uint8_t>(text[*pos]);
  size_t length = lead < 0x80           ? 1
                  : (lead >> 5) == 0x6  ? 2
                  : (lead >> 4) == 0xE  ? 3
                  : (lead >> 3) == 0x1E ? 4
                                        : 0;
  if (length == 0 || *pos + length > text.size()) return false;
  char32_t c = length == 1 ? lead : lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    const auto next = static_cast<uint8_t>(text[*pos + k]);
    if ((next & 0xC0) != 0x80) return false;
    c = c << 6 | (next & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
  *pos += length;
  *out = c;
  return true;
}

// Appends the ANSI form of the UTF-16 run and empties it; false when a character had none.
bool FlushRun(int code_page, std::u16string* run, std::string* ansi) {
  if (run->empty()) return true;
  bool fits = resources::FitsCodePage(*run, code_page);
  std::string converted;
  resources::Utf16ToCodePage(*run, code_page, &converted);
  *ansi += converted;
  run->clear();
  return fits;
}

}  // namespace

bool IsAsciiText(const std::string& text, size_t from) {
  // Every file call of the stand-in asks this of a whole path: eight bytes at a time.
  constexpr uint64_t kHighBits = 0x8080808080808080ull;
  const char* bytes = text.data();
  const size_t size = text.size();
  size_t i = from;
  for (; i + sizeof(uint64_t) <= size; i += sizeof(uint64_t)) {
    uint64_t word;
    std::memcpy(&word, bytes + i, sizeof(word));
    if ((word & kHighBits) != 0) return false;
  }
  for (; i < size; ++i) {
    if (static_cast<unsigned char>(bytes[i]) >= 0x80) return false;
  }
  return true;
}

bool IsSupportedCodePage(int code_page) {
  return code_page == kAnsiCodePageWestern || code_page == kAnsiCodePageJapanese;
}

bool IsLeadByte(int code_page, unsigned char byte) {
  return code_page == kAnsiCodePageJapanese && resources::IsJapaneseLeadByte(byte);
}

size_t CharLength(int code_page, const std::string& text, size_t pos) {
  if (pos >= text.size()) return 0;
  if (pos + 1 < text.size() && IsLeadByte(code_page, static_cast<unsigned char>(text[pos]))) {
    return 2;
  }
  return 1;
}

size_t NextChar(int code_page, const std::string& text, size_t pos) {
  return pos + CharLength(code_page, text, pos);
}

size_t PreviousChar(int code_page, const std::string& text, size_t pos) {
  if (pos == 0) return 0;
  if (code_page != kAnsiCodePageJapanese) return pos - 1;
  size_t start = 0;
  for (size_t i = 0; i < pos;) {
    start = i;
    i = NextChar(code_page, text, i);
  }
  return start;
}

size_t CharCount(int code_page, const std::string& text) {
  if (code_page != kAnsiCodePageJapanese) return text.size();
  size_t count = 0;
  for (size_t i = 0; i < text.size(); i = NextChar(code_page, text, i)) ++count;
  return count;
}

std::string LeadingText(int code_page, const std::string& text, size_t max_bytes) {
  if (text.size() <= max_bytes) return text;
  size_t end = 0;
  while (end < text.size()) {
    const size_t next = NextChar(code_page, text, end);
    if (next > max_bytes) break;
    end = next;
  }
  return text.substr(0, end);
}

size_t FindChar(int code_page, const std::string& text, char c, size_t from) {
  if (code_page != kAnsiCodePageJapanese) return text.find(c, from);
  for (size_t i = from; i < text.size();) {
    size_t length = CharLength(code_page, text, i);
    if (length == 1 && text[i] == c) return i;
    i += length;
  }
  return std::string::npos;
}

size_t FindLastChar(int code_page, const std::string& text, char c) {
  if (code_page != kAnsiCodePageJapanese) return text.rfind(c);
  size_t found = std::string::npos;
  for (size_t i = FindChar(code_page, text, c); i != std::string::npos;
       i = FindChar(code_page, text, c, i + 1)) {
    found = i;
  }
  return found;
}

std::string UpperText(int code_page, std::string text) {
  return Fold(code_page, std::move(text), true);
}

void UpperTextFrom(int code_page, std::string* text, size_t from) {
  FoldFrom(code_page, text, from, /*upper=*/true);
}

std::string LowerText(int code_page, std::string text) {
  return Fold(code_page, std::move(text), false);
}

bool EqualsIgnoreCaseText(int code_page, const std::string& a, const std::string& b) {
  return a.size() == b.size() && UpperText(code_page, a) == UpperText(code_page, b);
}

bool WildcardMatchText(int code_page, const std::string& pattern, const std::string& name) {
  if (pattern == "*" || pattern == "*.*") return true;
  return MatchFrom(UpperCharacters(code_page, pattern), 0, UpperCharacters(code_page, name), 0);
}

std::string UpperUtf8(const std::string& utf8) {
  if (IsAsciiText(utf8)) return UpperText(kAnsiCodePageWestern, utf8);
  std::string upper;
  upper.reserve(utf8.size());
  for (size_t pos = 0; pos < utf8.size();) {
    char32_t c = 0;
    if (!DecodeUtf8(utf8, &pos, &c)) {
      upper.push_back(ToUpperAnsi(utf8[pos++]));
      continue;
    }
    if (c >= 'a' && c <= 'z') {
      c -= 32;
    } else if (c >= 0xE0 && c <= 0xFE && c != 0xF7) {
      c -= 32;
    } else if (c == 0x161 || c == 0x153 || c == 0x17E) {
      c -= 1;
    } else if (c == 0xFF) {
      c = 0x178;
    }
    AppendUtf8(c, &upper);
  }
  return upper;
}

bool AnsiToUtf8(int code_page, const std::string& ansi, std::string* utf8) {
  if (IsAsciiText(ansi)) {
    *utf8 = ansi;
    return true;
  }
  if (!IsSupportedCodePage(code_page)) code_page = kAnsiCodePageWestern;
  std::u16string wide;
  bool complete = resources::CodePageToUtf16(ansi, code_page, &wide);
  std::string out;  // `utf8` may be `ansi` itself
  out.reserve(wide.size() * 3);
  for (char16_t c : wide) AppendUtf8(c, &out);
  *utf8 = std::move(out);
  return complete;
}

bool Utf8ToAnsi(int code_page, const std::string& utf8, std::string* ansi) {
  if (IsAsciiText(utf8)) {
    *ansi = utf8;
    return true;
  }
  if (!IsSupportedCodePage(code_page)) code_page = kAnsiCodePageWestern;
  std::string out;  // `ansi` may be `utf8` itself
  bool complete = true;
  std::u16string run;
  for (size_t pos = 0; pos < utf8.size();) {
    char32_t c = 0;
    if (!DecodeUtf8(utf8, &pos, &c)) {
      complete = FlushRun(code_page, &run, &out) && complete;
      out.push_back(utf8[pos++]);
      complete = false;
      continue;
    }
    if (c >= 0x10000) {
      run.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      run.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      run.push_back(static_cast<char16_t>(c));
    }
  }
  complete = FlushRun(code_page, &run, &out) && complete;
  *ansi = std::move(out);
  return complete;
}

}  // namespace qdw::platform
