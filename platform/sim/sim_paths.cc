#include "platform/sim/sim_paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstring>
#include <vector>

#include "platform/code_page_text.h"
#include "platform/windows_path.h"

namespace qdw::sim {
namespace {

bool HasInvalidCharacter(const std::string& name) {
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 32 || std::strchr("<>:\"|?*", c) != nullptr) return true;
  }
  return false;
}

std::string TrimTrailingDotsAndSpaces(const std::string& name) {
  size_t end = name.size();
  while (end > 0 && (name[end - 1] == '.' || name[end - 1] == ' ')) --end;
  return end == 0 ? name : name.substr(0, end);
}

}  // namespace

platform::WinError SplitWindowsPath(const std::string& path, WindowsPathParts* out) {
  std::string text = path;
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  if (text.size() >= platform::kMaxPath) return platform::kErrorFilenameExcedRange;
  if (text.size() >= 2 && text[0] == '\\' && text[1] == '\\') {
    return text.size() > 2 && (text[2] == '?' || text[2] == '.') ? platform::kErrorInvalidName
                                                                 : platform::kErrorBadNetName;
  }
  char letter = text.empty() ? 0 : platform::ToUpperAnsi(text[0]);
  if (text.size() < 2 || letter < 'A' || letter > 'Z' || text[1] != ':') {
    return platform::kErrorInvalidName;
  }
  if (text.size() > 2 && text[2] != '\\') return platform::kErrorInvalidName;
  out->drive = letter;
  out->components.clear();
  size_t pos = 2;
  while (pos < text.size()) {
    size_t next = text.find('\\', pos + 1);
    if (next == std::string::npos) next = text.size();
    std::string name = text.substr(pos + 1, next - pos - 1);
    pos = next;
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (!out->components.empty()) out->components.pop_back();
      continue;
    }
    name = TrimTrailingDotsAndSpaces(name);
    if (HasInvalidCharacter(name) || name == "." || name == "..") {
      return platform::kErrorInvalidName;
    }
    out->components.push_back(name);
  }
  return platform::kSuccess;
}

std::string HostName(int code_page, const std::string& ansi_name) {
  std::string host;
  platform::AnsiToUtf8(code_page, ansi_name, &host);
  return host;
}

std::string AnsiName(int code_page, const std::string& host_name) {
  std::string ansi;
  platform::Utf8ToAnsi(code_page, host_name, &ansi);
  return ansi;
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

bool FindHostName(const std::string& host_folder, const std::string& name, std::string* found) {
  DIR* dir = ::opendir(host_folder.c_str());
  if (dir == nullptr) return false;
  bool result = false;
  while (dirent* entry = ::readdir(dir)) {
    if (platform::EqualsIgnoreCase(entry->d_name, name) && std::strcmp(entry->d_name, ".") != 0 &&
        std::strcmp(entry->d_name, "..") != 0) {
      *found = entry->d_name;
      result = true;
      break;
    }
  }
  ::closedir(dir);
  return result;
}

std::string ResolveHostComponents(const std::string& root,
                                  const std::vector<std::string>& components) {
  // Paths usually come from listings and are spelt as stored: one look settles them.
  std::string exact = root;
  for (const std::string& name : components) exact += "/" + name;
  struct stat whole;
  if (::lstat(exact.c_str(), &whole) == 0) return exact;
  // A new name in a folder spelt as stored (a file about to be created): only the last name
  // needs the look ignoring case.
  size_t last = exact.rfind('/');
  if (!components.empty() && last > root.size() &&
      ::lstat(exact.substr(0, last).c_str(), &whole) == 0 && S_ISDIR(whole.st_mode)) {
    std::string found;
    return FindHostName(exact.substr(0, last), components.back(), &found)
               ? exact.substr(0, last + 1) + found
               : exact;
  }
  std::string host = root;
  bool missing = false;
  for (const std::string& name : components) {
    if (!missing) {
      std::string exact = host + "/" + name;
      struct stat st;
      if (::lstat(exact.c_str(), &st) == 0) {
        host = exact;
        continue;
      }
      std::string found;
      if (FindHostName(host, name, &found)) {
        host += "/" + found;
        continue;
      }
      missing = true;
    }
    host += "/" + name;
  }
  return host;
}

}  // namespace qdw::sim
