#include "platform/keepable_names.h"

#include <cstring>

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

bool IsNumberedDevice(int code_page, const std::string& base) {
  if (base.size() != 4) return false;
  const std::string stem = UpperText(code_page, base.substr(0, 3));
  if (stem != "COM" && stem != "LPT") return false;
  return (base[3] >= '1' && base[3] <= '9') || IsSuperscriptDigit(code_page, base[3]);
}

}  // namespace

bool IsDeviceName(const std::string& name) {
  const int code_page = ProcessCodePage();
  // A dot and a blank are never the second byte of a character.
  std::string base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  // Device names are 3, 4, 6 or 7 bytes long; most names are none of these lengths.
  if (base.size() != 3 && base.size() != 4 && base.size() != 6 && base.size() != 7) return false;
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (EqualsIgnoreCaseText(code_page, base, device)) return true;
  }
  return IsNumberedDevice(code_page, base);
}

bool WindowsCanKeepName(const std::string& name) {
  const int code_page = ProcessCodePage();
  if (name.empty() || name.back() == '.' || name.back() == ' ') return false;
  // Most names are plain ASCII, which converts as it is: only other names need converting to
  // show they are characters of the code page.
  std::string utf8;
  if (!IsAsciiText(name) && !AnsiToUtf8(code_page, name, &utf8)) return false;
  for (size_t i = 0; i < name.size(); i = NextChar(code_page, name, i)) {
    if (CharLength(code_page, name, i) != 1) continue;
    const auto c = static_cast<unsigned char>(name[i]);
    if (c < kFirstPrintable || std::strchr(kForbiddenCharacters, name[i]) != nullptr) return false;
  }
  return !IsDeviceName(name);
}

}  // namespace qdw::platform
