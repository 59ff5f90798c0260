#include "platform/windows_path.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/code_page_text.h"
#include "platform/keepable_names.h"
#include "platform/process_code_page.h"

namespace qdw::platform {

namespace {

// "\" or "/", the two separators the runtime library's path functions accept. A "/" (0x2F) is
// never part of a multi-byte character, so only the backslash needs the primitives.
size_t FindSeparatorOrSlash(const std::string& path, size_t from) {
  return std::min(FindSeparator(path, from), path.find('/', from));
}

// Whether `pos` starts a character of `text` (or is its end), not a trail byte.
bool IsCharBoundary(int code_page, const std::string& text, size_t pos) {
  if (pos > text.size()) return false;
  size_t i = 0;
  while (i < pos) i = NextChar(code_page, text, i);
  return i == pos;
}

size_t FindLastSeparatorOrSlash(const std::string& path) {
  const size_t backslash = FindLastSeparator(path);
  const size_t slash = path.rfind('/');
  if (backslash == std::string::npos) return slash;
  if (slash == std::string::npos) return backslash;
  return std::max(backslash, slash);
}

}  // namespace

char ToUpperAnsi(char c) {
  auto u = static_cast<uint8_t>(c);
  if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
  // Latin-1 letters of code page 1252, and its three letters in the 0x80 range.
  if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 32);
  if (u == 0x9A || u == 0x9C || u == 0x9E) return static_cast<char>(u - 16);
  if (u == 0xFF) return static_cast<char>(0x9F);
  return c;
}

char ToLowerAnsi(char c) {
  auto u = static_cast<uint8_t>(c);
  if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 32);
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<char>(u + 32);
  if (u == 0x8A || u == 0x8C || u == 0x8E) return static_cast<char>(u + 16);
  if (u == 0x9F) return static_cast<char>(0xFF);
  return c;
}

std::string UpperAnsi(std::string text) { return UpperText(ProcessCodePage(), std::move(text)); }

std::string LowerAnsi(std::string text) { return LowerText(ProcessCodePage(), std::move(text)); }

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
  const int code_page = ProcessCodePage();
  if (code_page == kAnsiCodePageJapanese) return EqualsIgnoreCaseText(code_page, a, b);
  // Every character of a single-byte code page is one byte: compared in place, without copies.
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (ToUpperAnsi(a[i]) != ToUpperAnsi(b[i])) return false;
  }
  return true;
}

bool ContainsIgnoreCase(const std::string& haystack, const std::string& needle) {
  const int code_page = ProcessCodePage();
  const std::string text = UpperText(code_page, haystack);
  const std::string wanted = UpperText(code_page, needle);
  if (wanted.empty()) return true;
  // Only a match that starts at a character counts: the bytes of a two-byte character's trail
  // byte and what follows it are no text of their own.
  for (size_t i = 0; i + wanted.size() <= text.size(); i = NextChar(code_page, text, i)) {
    if (text.compare(i, wanted.size(), wanted) == 0 &&
        IsCharBoundary(code_page, text, i + wanted.size())) {
      return true;
    }
  }
  return false;
}

bool StartsWithIgnoreCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && IsCharBoundary(ProcessCodePage(), text, prefix.size()) &&
         EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

bool EndsWithIgnoreCase(const std::string& text, const std::string& suffix) {
  if (text.size() < suffix.size()) return false;
  const size_t start = text.size() - suffix.size();
  return IsCharBoundary(ProcessCodePage(), text, start) &&
         EqualsIgnoreCase(text.substr(start), suffix);
}

size_t FindLastSeparator(const std::string& path) {
  return FindLastChar(ProcessCodePage(), path, '\\');
}

size_t FindSeparator(const std::string& path, size_t from) {
  return FindChar(ProcessCodePage(), path, '\\', from);
}

bool EndsWithSeparator(const std::string& path) {
  return !path.empty() && path.back() == '\\' &&
         PreviousChar(ProcessCodePage(), path, path.size()) == path.size() - 1;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (EndsWithSeparator(folder)) return folder + name;
  return folder + "\\" + name;
}

std::string StripTrailingSeparator(const std::string& path) {
  if (EndsWithSeparator(path)) return path.substr(0, path.size() - 1);
  return path;
}

std::string FileNamePart(const std::string& path) {
  size_t pos = FindLastSeparator(path);
  return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string FolderPart(const std::string& path) {
  size_t pos = FindLastSeparator(path);
  return pos == std::string::npos ? std::string() : path.substr(0, pos);
}

bool IsAtOrBelow(const std::string& path, const std::string& folder) {
  if (folder.empty() || !StartsWithIgnoreCase(path, folder)) return false;
  return path.size() == folder.size() || EndsWithSeparator(folder) ||
         FindSeparator(path, folder.size()) == folder.size();
}

bool IsBareDrive(const std::string& path) { return path.size() == 2 && path[1] == ':'; }

void SplitPath(const std::string& path, std::string* drive, std::string* dir,
               std::string* file_name, std::string* extension) {
  std::string rest = path;
  std::string d;
  if (rest.size() >= 2 && rest[1] == ':') {
    d = rest.substr(0, 2);
    rest = rest.substr(2);
  }
  size_t slash = FindLastSeparatorOrSlash(rest);
  std::string folder = slash == std::string::npos ? std::string() : rest.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? rest : rest.substr(slash + 1);
  size_t dot = name.rfind('.');
  std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
  if (dot != std::string::npos) name = name.substr(0, dot);
  if (drive) *drive = d;
  if (dir) *dir = folder;
  if (file_name) *file_name = name;
  if (extension) *extension = ext;
}

bool IsSafeRelativeName(const std::string& name) {
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = FindSeparatorOrSlash(name, start);
    if (end == std::string::npos) end = name.size();
    if (!WindowsCanKeepName(name.substr(start, end - start))) return false;
    start = end + 1;
  }
  return true;
}

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  return WildcardMatchText(ProcessCodePage(), pattern, name);
}

}  // namespace qdw::platform
