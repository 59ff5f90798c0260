// ANSI text of a Windows code page, walked by characters. In a double-byte code page (932,
// Japanese) a lead byte and the byte after it are one character, and that trail byte may be any
// of 0x40..0xFC: "\" (0x5C), "|" and the ASCII letters among them. Whatever looks for a
// separator, cuts a name or folds case in such text must step by characters, through these
// helpers. Code pages other than 932 are treated as single-byte ones.
#ifndef QDW_PLATFORM_CODE_PAGE_TEXT_H_
#define QDW_PLATFORM_CODE_PAGE_TEXT_H_

#include <cstddef>
#include <string>

namespace qdw::platform {

inline constexpr int kAnsiCodePageWestern = 1252;
inline constexpr int kAnsiCodePageJapanese = 932;

// The code pages whose characters the conversions below know.
bool IsSupportedCodePage(int code_page);
// Whether `byte` starts a two-byte character of `code_page`.
bool IsLeadByte(int code_page, unsigned char byte);

// Bytes of the character that starts at `pos`: 2 for a lead byte with a byte after it, 1
// otherwise (a lead byte at the very end stands alone), 0 at or past the end.
size_t CharLength(int code_page, const std::string& text, size_t pos);
// The start of the character after the one at `pos`.
size_t NextChar(int code_page, const std::string& text, size_t pos);
// The start of the character that ends just before `pos` (0 when `pos` is 0). A trail byte cannot
// be told from a lead byte by itself, so this walks from the start of the text.
size_t PreviousChar(int code_page, const std::string& text, size_t pos);
// How many characters the text holds.
size_t CharCount(int code_page, const std::string& text);
// The longest start of the text of at most `max_bytes` bytes that ends between two characters,
// as a fixed-size text field of the system keeps it.
std::string LeadingText(int code_page, const std::string& text, size_t max_bytes);

// The first character at or after `from`, or the last one, that is the single byte `c`;
// std::string::npos when there is none. A trail byte equal to `c` does not count.
size_t FindChar(int code_page, const std::string& text, char c, size_t from = 0);
size_t FindLastChar(int code_page, const std::string& text, char c);

// Case folding as the system's ANSI calls fold names: single-byte characters only (the letters
// of the code page), two-byte characters stay as they are.
std::string UpperText(int code_page, std::string text);
std::string LowerText(int code_page, std::string text);
// UpperText of the part of `text` from `from` on (a character boundary), in place.
void UpperTextFrom(int code_page, std::string* text, size_t from);
bool EqualsIgnoreCaseText(int code_page, const std::string& a, const std::string& b);

// Upper case of UTF-8 text by the same rule as the ANSI letters of code page 1252 fold (the ASCII
// and Latin-1 letters, and the few of 0x80..0x9F): for names kept in UTF-8 that the system
// compares ignoring case. A byte that is not UTF-8 folds as a code page 1252 byte.
std::string UpperUtf8(const std::string& utf8);

// Matches a name against a FindFirstFile pattern, ignoring case: "*" stands for any characters,
// "?" for one character (a two-byte character counts as one); "*" and "*.*" match every name,
// a trailing ".*" or "." also a name without an extension.
bool WildcardMatchText(int code_page, const std::string& pattern, const std::string& name);

// Whether every byte of `text` from `from` on is below 0x80. Such text is the same characters in
// every code page the tool runs in (their lead bytes are 0x81 and above) and in UTF-8.
bool IsAsciiText(const std::string& text, size_t from = 0);

// The UTF-8 form of ANSI text. False when a byte sequence is no character of the code page (a
// lead byte without its trail byte, an unassigned pair); it becomes U+FFFD in `*utf8`.
bool AnsiToUtf8(int code_page, const std::string& ansi, std::string* utf8);
// The ANSI form of UTF-8 text. False when `utf8` is not UTF-8 or holds a character the code page
// lacks; such a character becomes "?" in `*ansi`, a byte that is not UTF-8 is kept as it is.
bool Utf8ToAnsi(int code_page, const std::string& utf8, std::string* ansi);

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_CODE_PAGE_TEXT_H_
