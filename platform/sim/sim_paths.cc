#include "platform/sim/sim_paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "platform/code_page_text.h"
#include "platform/sim/host_name_index.h"
#include "platform/windows_path.h"

namespace qdw::sim {
namespace {

bool IsInvalidNameByte(char c) {
  switch (c) {
    case '<':
    case '>':
    case ':':
    case '"':
    case '|':
    case '?':
    case '*':
      return true;
    default:
      return static_cast<unsigned char>(c) < 32;
  }
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDotName(const std::string& name) {
  return (name.size() == 1 && name[0] == '.') ||
         (name.size() == 2 && name[0] == '.' && name[1] == '.');
}

// Deeper than most paths of the repository, so that splitting one rarely grows the list.
constexpr size_t kUsualDepth = 16;

// What each byte is to a path in a single-byte code page, where every byte is a character: one
// pass over a name finds where it ends and whether it needs a closer look.
enum ByteClass : uint8_t { kNameByte = 0, kSeparatorByte = 1, kInvalidByte = 2, kHighByte = 4 };

struct ByteClasses {
  uint8_t of[256];
  ByteClasses() {
    for (int byte = 0; byte < 256; ++byte) {
      const char c = static_cast<char>(byte);
      of[byte] = IsSeparator(c)         ? kSeparatorByte
                 : IsInvalidNameByte(c) ? kInvalidByte
                 : byte >= 0x80         ? kHighByte
                                        : kNameByte;
    }
  }
};

// The next "\" or "/" at or after `from` (a character boundary) in a double-byte code page,
// walking characters: a trail byte 0x5C is no separator. "/" is never a trail byte.
size_t FindSeparator(int code_page, const std::string& text, size_t from) {
  for (size_t i = from; i < text.size(); i = platform::NextChar(code_page, text, i)) {
    if (IsSeparator(text[i]) && platform::CharLength(code_page, text, i) == 1) return i;
  }
  return std::string::npos;
}

// Whether every byte sequence of `name` is a character of the code page.
bool HasCodePageForm(int code_page, const std::string& name) {
  std::string ignored;
  return platform::AnsiToUtf8(code_page, name, &ignored);
}

// A name of a double-byte code page that Windows refuses: a single-byte character it does not
// allow in names (a trail byte is no "|"), or bytes that are no character of the code page.
bool HasInvalidCharacter(int code_page, const std::string& name) {
  bool ascii = true;
  for (size_t i = 0; i < name.size(); i = platform::NextChar(code_page, name, i)) {
    ascii = ascii && static_cast<unsigned char>(name[i]) < 0x80;
    if (platform::CharLength(code_page, name, i) != 1) continue;
    if (IsInvalidNameByte(name[i])) return true;
  }
  return !ascii && !HasCodePageForm(code_page, name);
}

// Trail bytes are 0x40 and above, so the last byte being a dot or a space is a character.
std::string TrimTrailingDotsAndSpaces(const std::string& name) {
  size_t end = name.size();
  while (end > 0 && (name[end - 1] == '.' || name[end - 1] == ' ')) --end;
  return end == 0 ? name : name.substr(0, end);
}

bool IsSymbolicLink(const std::string& host) {
  struct stat st;
  return ::lstat(host.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// FindHostName in a folder already looked at: the index answers most new names without reading
// the folder.
bool FindHostNameIn(const std::string& host_folder, const struct stat& folder,
                    const std::string& name, std::string* found, int code_page) {
  if (!FolderMayHoldName(host_folder, folder, name, code_page)) return false;
  DIR* dir = ::opendir(host_folder.c_str());
  if (dir == nullptr) return false;
  bool result = false;
  while (dirent* entry = ::readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    if (platform::EqualsIgnoreCaseText(code_page, AnsiName(code_page, entry->d_name), name)) {
      *found = entry->d_name;
      result = true;
      break;
    }
  }
  ::closedir(dir);
  return result;
}

}  // namespace

platform::WinError SplitWindowsPath(const std::string& path, WindowsPathParts* out, int code_page) {
  // MAX_PATH counts characters: the system converts the path to UTF-16 first.
  if (platform::CharCount(code_page, path) >= platform::kMaxPath) {
    return platform::kErrorFilenameExcedRange;
  }
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    return path.size() > 2 && (path[2] == '?' || path[2] == '.') ? platform::kErrorInvalidName
                                                                 : platform::kErrorBadNetName;
  }
  char letter = path.empty() ? 0 : platform::ToUpperAnsi(path[0]);
  if (path.size() < 2 || letter < 'A' || letter > 'Z' || path[1] != ':') {
    return platform::kErrorInvalidName;
  }
  if (path.size() > 2 && !IsSeparator(path[2])) return platform::kErrorInvalidName;
  out->drive = letter;
  out->code_page = code_page;
  out->components.clear();
  out->components.reserve(kUsualDepth);
  size_t pos = 2;
  static const ByteClasses classes;
  const bool single_byte = code_page != platform::kAnsiCodePageJapanese;
  while (pos < path.size()) {
    const size_t start = pos + 1;
    size_t next = start;
    uint8_t seen = kNameByte;  // the classes of the name's bytes, in a single-byte code page
    if (single_byte) {
      for (; next < path.size(); ++next) {
        const uint8_t byte_class = classes.of[static_cast<unsigned char>(path[next])];
        if (byte_class == kSeparatorByte) break;
        seen |= byte_class;
      }
    } else {
      next = FindSeparator(code_page, path, start);
      if (next == std::string::npos) next = path.size();
    }
    size_t length = next - start;
    pos = next;
    if (length == 0 || (length == 1 && path[start] == '.')) continue;
    if (length == 2 && path[start] == '.' && path[start + 1] == '.') {
      if (!out->components.empty()) out->components.pop_back();
      continue;
    }
    // Trailing dots and spaces go, unless nothing else is left (trail bytes are 0x40 and
    // above, so a last byte that is a dot or a space is a character).
    size_t kept = length;
    while (kept > 0 && (path[start + kept - 1] == '.' || path[start + kept - 1] == ' ')) --kept;
    if (kept != 0) length = kept;
    std::string& name = out->components.emplace_back(path, start, length);
    const bool invalid = single_byte
                             ? (seen & kInvalidByte) != 0 ||
                                   ((seen & kHighByte) != 0 && !HasCodePageForm(code_page, name))
                             : HasInvalidCharacter(code_page, name);
    if (invalid || IsDotName(name)) {
      return platform::kErrorInvalidName;
    }
  }
  return platform::kSuccess;
}

platform::WinError NormalizeFullPath(int code_page, const std::string& path, std::string* full) {
  full->clear();
  std::string text = path;
  for (char& c : text) {
    if (c == '/') c = '\\';  // never a trail byte
  }
  // The root: "C:" of a drive path, "\\server\share" of a UNC path.
  std::string root;
  size_t rest = 0;
  const bool unc = text.size() >= 2 && text[0] == '\\' && text[1] == '\\';
  if (unc) {
    if (text.size() > 2 && (text[2] == '?' || text[2] == '.')) return platform::kErrorInvalidName;
    size_t server_end = platform::FindChar(code_page, text, '\\', 2);
    if (server_end == std::string::npos || server_end == 2) return platform::kErrorInvalidName;
    size_t share_end = platform::FindChar(code_page, text, '\\', server_end + 1);
    if (share_end == std::string::npos) share_end = text.size();
    if (share_end == server_end + 1) return platform::kErrorInvalidName;
    root = text.substr(0, share_end);
    rest = share_end;
  } else {
    char letter = text.empty() ? 0 : platform::ToUpperAnsi(text[0]);
    if (text.size() < 3 || letter < 'A' || letter > 'Z' || text[1] != ':' || text[2] != '\\') {
      return platform::kErrorInvalidName;
    }
    root = text.substr(0, 2);
    rest = 2;
  }
  std::vector<std::string> components;
  while (rest < text.size()) {
    size_t next = platform::FindChar(code_page, text, '\\', rest + 1);
    if (next == std::string::npos) next = text.size();
    std::string name = text.substr(rest + 1, next - rest - 1);
    const bool last = next == text.size();
    rest = next;
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (!components.empty()) components.pop_back();
      continue;
    }
    // The last name loses its trailing dots and spaces; one before it a single trailing dot.
    if (last) {
      name = TrimTrailingDotsAndSpaces(name);
      if (name.find_first_not_of(". ") == std::string::npos) continue;
    } else if (name.back() == '.') {
      name.pop_back();
    }
    components.push_back(name);
  }
  std::string result = root;
  for (const std::string& name : components) result += "\\" + name;
  const bool trailing = text.size() > root.size() && text.back() == '\\';
  if (components.empty() ? !unc || trailing : trailing) result += "\\";
  if (platform::CharCount(code_page, result) >= platform::kMaxPath) {
    return platform::kErrorFilenameExcedRange;
  }
  *full = result;
  return platform::kSuccess;
}

std::string HostName(int code_page, const std::string& ansi_name) {
  std::string host;
  platform::AnsiToUtf8(code_page, ansi_name, &host);
  return host;
}

void AppendHostName(int code_page, const std::string& ansi_name, std::string* out) {
  if (!platform::IsAsciiText(ansi_name)) {
    *out += HostName(code_page, ansi_name);
    return;
  }
  *out += ansi_name;
}

std::string AnsiName(int code_page, const std::string& host_name) {
  std::string ansi;
  platform::Utf8ToAnsi(code_page, host_name, &ansi);
  return ansi;
}

bool ReadJunctionTarget(const std::string& host, int code_page, WindowsPathParts* target) {
  char buffer[4096];
  ssize_t length = ::readlink(host.c_str(), buffer, sizeof(buffer));
  if (length <= 0 || static_cast<size_t>(length) >= sizeof(buffer)) return false;
  std::string ansi;
  platform::Utf8ToAnsi(code_page, std::string(buffer, static_cast<size_t>(length)), &ansi);
  return SplitWindowsPath(ansi, target, code_page) == platform::kSuccess;
}

bool FindHostName(const std::string& host_folder, const std::string& name, std::string* found,
                  int code_page) {
  struct stat folder;
  if (::stat(host_folder.c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode)) return false;
  return FindHostNameIn(host_folder, folder, name, found, code_page);
}

std::string ResolveHostComponents(const std::string& root,
                                  const std::vector<std::string>& components, int code_page,
                                  size_t* junction_at, bool* parent_is_folder, bool* found,
                                  HostInfo* info, bool likely_new) {
  if (junction_at != nullptr) *junction_at = std::string::npos;
  if (parent_is_folder != nullptr) *parent_is_folder = false;
  if (found != nullptr) *found = false;
  const bool settle = found != nullptr && info != nullptr;
  // Paths usually come from listings and are spelt as stored: one look settles them. A junction
  // on the way dangles for the host, so such a path takes the walk below.
  std::string exact;
  exact.reserve(root.size() + components.size() * 16);
  exact += root;
  for (const std::string& name : components) {
    exact += '/';
    AppendHostName(code_page, name, &exact);
  }
  const size_t last = exact.rfind('/');
  const bool has_parent = !components.empty() && last > root.size();
  struct stat whole;
  if (settle && likely_new && has_parent) {
    // The folder first: when its index has no such name, the name's own look-up, which would
    // fail, is spared.
    const std::string folder = exact.substr(0, last);
    if (::lstat(folder.c_str(), &whole) == 0 && S_ISDIR(whole.st_mode)) {
      if (parent_is_folder != nullptr) *parent_is_folder = true;
      if (!FolderMayHoldName(folder, whole, components.back(), code_page)) return exact;
    }
  }
  if (settle) {
    if (StatHost(exact, info)) {
      *found = true;
      return exact;
    }
  } else if (::lstat(exact.c_str(), &whole) == 0) {
    return exact;
  }
  // A new name in a folder spelt as stored (a file about to be created): only the last name
  // needs the look ignoring case.
  if (has_parent && ::lstat(exact.substr(0, last).c_str(), &whole) == 0 && S_ISDIR(whole.st_mode)) {
    if (parent_is_folder != nullptr) *parent_is_folder = true;
    std::string spelt;
    if (!FindHostNameIn(exact.substr(0, last), whole, components.back(), &spelt, code_page)) {
      return exact;  // settled: neither the exact name nor another case of it is there
    }
    std::string host = exact.substr(0, last + 1) + spelt;
    if (settle) *found = StatHost(host, info);
    return host;
  }
  std::string host = root;
  bool missing = false;
  for (size_t i = 0; i < components.size(); ++i) {
    const std::string name = HostName(code_page, components[i]);
    if (!missing) {
      std::string candidate = host + "/" + name;
      struct stat st;
      std::string found;
      if (::lstat(candidate.c_str(), &st) == 0) {
        host = candidate;
      } else if (FindHostName(host, components[i], &found, code_page)) {
        host += "/" + found;
      } else {
        missing = true;
        host += "/" + name;
        continue;
      }
      if (i + 1 < components.size() && junction_at != nullptr && IsSymbolicLink(host)) {
        *junction_at = i;
        return host;
      }
      continue;
    }
    host += "/" + name;
  }
  if (settle && !missing) *found = StatHost(host, info);
  return host;
}

}  // namespace qdw::sim
