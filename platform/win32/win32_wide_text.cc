#include "platform/win32/win32_wide_text.h"

#include <windows.h>

#include <vector>

namespace qdw::win32 {

std::wstring WideFromAnsi(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string AnsiFromWide(const wchar_t* text) {
  if (text == nullptr || *text == L'\0') return std::string();
  const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return std::string();
  std::vector<char> ansi(static_cast<size_t>(length));
  WideCharToMultiByte(CP_ACP, 0, text, -1, ansi.data(), length, nullptr, nullptr);
  return std::string(ansi.data());
}

std::optional<std::string> OptionalAnsiFromWide(const wchar_t* text) {
  if (text == nullptr) return std::nullopt;
  return AnsiFromWide(text);
}

}  // namespace qdw::win32
