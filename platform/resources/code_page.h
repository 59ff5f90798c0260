// Conversion of the module's UTF-16 texts to the ANSI code page the program works in.
#ifndef QDW_PLATFORM_RESOURCES_CODE_PAGE_H_
#define QDW_PLATFORM_RESOURCES_CODE_PAGE_H_

#include <string>

namespace qdw::resources {

// Western European ANSI code page, used by the English, French, German, Italian and Spanish
// builds.
inline constexpr int kCodePageWestern = 1252;

// Japanese ANSI code page (Shift JIS with the Windows extensions), used by the Japanese build.
inline constexpr int kCodePageJapanese = 932;

// Whether a byte of code page 932 text starts a two-byte character.
inline bool IsJapaneseLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Converts UTF-16 text to the ANSI text of a code page, as the system does for the program's
// ANSI calls: a character the code page lacks (an unpaired surrogate, or a surrogate pair as a
// whole) becomes one "?". False, with out untouched, for a code page we do not support.
bool Utf16ToCodePage(const std::u16string& text, int code_page, std::string* out);

// Whether every character of the text has its own byte in the code page, so that converting it
// loses nothing.
bool FitsCodePage(const std::u16string& text, int code_page);

// Converts ANSI text of a code page to UTF-16, as the system does for the program's ANSI calls.
// False when the code page is not supported or a byte sequence is no character of it (a lead
// byte without its trail byte, an unassigned pair); such a sequence becomes U+FFFD in `out`.
bool CodePageToUtf16(const std::string& text, int code_page, std::u16string* out);

}  // namespace qdw::resources

#endif  // QDW_PLATFORM_RESOURCES_CODE_PAGE_H_
