#include "platform/keepable_names.h"

#include <array>

#include "platform/code_page_text.h"
#include "platform/process_code_page.h"

namespace qdw::platform {
namespace {

constexpr char kForbiddenCharacters[] = "<>:\"/\\|?*";
constexpr unsigned char kFirstPrintable = 0x20;

// Code page 1252's superscript one, two and three.
bool IsSuperscriptDigit(int code_page, char c) {
  return code_page == kAnsiCodePageWestern && (c == '\xB9' || c == '\xB2' || c == '\xB3');
}

// `upper` is `base` in upper case.
bool IsNumberedDevice(int code_page, const std::string& base, const std::string& upper) {
  if (base.size() != 4) return false;
  if (upper.compare(0, 3, "COM") != 0 && upper.compare(0, 3, "LPT") != 0) return false;
  return (base[3] >= '1' && base[3] <= '9') || IsSuperscriptDigit(code_page, base[3]);
}

// The bytes below 0x80 no name may hold: every unpacked path is checked, name by name, and a
// table spares a search of the forbidden characters for each byte. No byte from 0x80 on is
// refused, alone or as part of a character.
struct RefusedAsciiBytes {
  std::array<bool, 128> refused{};
  RefusedAsciiBytes() {
    for (unsigned byte = 0; byte < kFirstPrintable; ++byte) refused[byte] = true;
    for (const char* c = kForbiddenCharacters; *c != '\0'; ++c) {
      refused[static_cast<unsigned char>(*c)] = true;
    }
  }
};

bool IsRefusedByte(char c) {
  static const RefusedAsciiBytes table;
  const auto byte = static_cast<unsigned char>(c);
  return byte < table.refused.size() && table.refused[byte];
}

// True when each character of `name`, in the code page, is printable and not forbidden.
bool HasOnlyKeepableCharacters(int code_page, const std::string& name) {
  if (IsAsciiText(name)) {
    // ASCII is one byte a character in every code page.
    for (const char c : name) {
      if (IsRefusedByte(c)) return false;
    }
    return true;
  }
  // Other names need converting to show they are characters of the code page.
  std::string utf8;
  if (!AnsiToUtf8(code_page, name, &utf8)) return false;
  for (size_t i = 0; i < name.size(); i = NextChar(code_page, name, i)) {
    if (CharLength(code_page, name, i) == 1 && IsRefusedByte(name[i])) return false;
  }
  return true;
}

}  // namespace

bool IsDeviceName(const std::string& name) {
  const int code_page = ProcessCodePage();
  // A dot and a blank are never the second byte of a character.
  std::string base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  // Device names are 3, 4, 6 or 7 bytes long; most names are none of these lengths.
  if (base.size() != 3 && base.size() != 4 && base.size() != 6 && base.size() != 7) return false;
  // The device names are upper-case ASCII: folding the name once compares it with them all.
  const std::string upper = UpperText(code_page, base);
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (upper == device) return true;
  }
  return IsNumberedDevice(code_page, base, upper);
}

bool WindowsCanKeepName(const std::string& name) {
  const int code_page = ProcessCodePage();
  if (name.empty() || name.back() == '.' || name.back() == ' ') return false;
  return HasOnlyKeepableCharacters(code_page, name) && !IsDeviceName(name);
}

}  // namespace qdw::platform
