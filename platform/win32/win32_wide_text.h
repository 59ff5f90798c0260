// ANSI texts of the program to and from the UTF-16 texts of the Unicode-only APIs (network
// management, COM), through the system code page.
#ifndef QDW_PLATFORM_WIN32_WIN32_WIDE_TEXT_H_
#define QDW_PLATFORM_WIN32_WIN32_WIDE_TEXT_H_

#include <optional>
#include <string>

namespace qdw::win32 {

std::wstring WideFromAnsi(const std::string& text);
std::string AnsiFromWide(const wchar_t* text);
// A null pointer (a field the system leaves out) gives nullopt.
std::optional<std::string> OptionalAnsiFromWide(const wchar_t* text);

}  // namespace qdw::win32

#endif  // QDW_PLATFORM_WIN32_WIN32_WIDE_TEXT_H_
