#include "engine/restore/share_info_reader.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "engine/common/portable_folder.h"
#include "platform/file_checks.h"
#include "platform/keepable_names.h"
#include "platform/text_lines.h"
#include "platform/windows_path.h"
#include "system/os_version.h"

namespace qdw::restore {

namespace {

using platform::kSuccess;

constexpr uint32_t kReadBufferSize = 4096;

bool ReadWholeFile(platform::FileSystem& files, const std::string& path, std::string* text) {
  std::unique_ptr<platform::File> file;
  if (files.Open(path, platform::kGenericRead, platform::kShareRead,
                 platform::Disposition::kOpenExisting, platform::kFlagSequentialScan,
                 &file) != kSuccess) {
    return false;
  }
  char buffer[kReadBufferSize];
  for (;;) {
    uint32_t read = 0;
    if (file->Read(buffer, sizeof(buffer), &read) != kSuccess) return false;
    if (read == 0) return true;
    text->append(buffer, read);
  }
}

}  // namespace

void SplitShareLine(const std::string& line, std::string* name, std::string* path,
                    std::string* details) {
  const size_t first = line.find(',');
  if (first == std::string::npos) {
    name->clear();
    *path = line;
    *details = "\\";
    return;
  }
  *name = line.substr(0, first);
  const size_t second = line.find(',', first + 1);
  if (second == std::string::npos) {
    *path = line.substr(first + 1);
    *details = "\\";
    return;
  }
  *path = line.substr(first + 1, second - first - 1);
  *details = line.substr(second + 1);
}

bool ShareInfoReader::Read(const std::string& folder, RecordedShares* out) {
  *out = RecordedShares();
  const std::string desktop = SpecialFolder(platform::kCsidlDesktop);
  const std::string documents = SpecialFolder(platform::kCsidlPersonal);
  const std::string profile = platform::FolderPart(desktop);
  std::string repository;
  if (!settings_.ReadUserRepositoryPath(&repository)) repository.clear();

  const std::string file_path = platform::JoinPath(folder, engine::kShareInfoFileName);
  if (!platform::PathExists(platform_.files(), file_path)) return true;
  std::string text;
  if (!ReadWholeFile(platform_.files(), file_path, &text)) return false;
  const std::vector<std::string> lines = platform::SplitLines(text);
  if (lines.empty()) return true;

  const std::string system = platform::UpperAnsi(lines[0]);
  if (system.find("9X") != std::string::npos) {
    out->source_kind = kSource9x;
  } else if (system.find("NT") != std::string::npos) {
    out->source_kind =
        system::IsWindowsSixFamily(platform_.system()) ? kSourceNtOnClass6 : kSourceNt;
  }

  // The markers stand at the start of a recorded path; anything else is a path as written.
  const struct {
    const char* marker;
    const std::string& place;
    const char* data_flag;
  } kPlaces[] = {{engine::kDataFolderMarker, repository, "1"},
                 {engine::kDesktopMarker, desktop, "0"},
                 {engine::kDocumentsMarker, documents, "0"},
                 {engine::kProfileMarker, profile, "0"}};
  for (size_t i = 1; i < lines.size(); ++i) {
    // A blank line names no share (an editor's trailing line, for one).
    if (lines[i].empty()) continue;
    std::string name, path, details;
    SplitShareLine(lines[i], &name, &path, &details);
    std::string data_flag = "0";
    for (const auto& place : kPlaces) {
      if (platform::StartsWithIgnoreCase(path, place.marker)) {
        path = place.place + path.substr(std::string(place.marker).size());
        data_flag = place.data_flag;
        break;
      }
    }
    out->names.push_back(name);
    out->paths.push_back(path);
    out->details.push_back(details);
    out->data_flags.push_back(data_flag);
  }
  return true;
}

std::string ShareInfoReader::SpecialFolder(int csidl) {
  std::string path;
  if (platform_.shell().SpecialFolder(csidl, &path) != kSuccess) return std::string();
  return path;
}

bool IsSafeShareName(const std::string& name) { return platform::WindowsCanKeepName(name); }

bool IsNetworkPath(const std::string& path) {
  return path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
}

bool IsSafeSharePath(const std::string& path) {
  size_t rest = 0;
  const bool drive_path = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                          path[1] == ':' && path[2] == '\\';
  if (drive_path) {
    rest = 3;
  } else if (IsNetworkPath(path) && path.size() > 2) {
    // "\\?\" and "\\.\" reach devices and raw volumes, not shared folders.
    if (path[2] == '?' || path[2] == '.' || path[2] == '\\') return false;
    rest = 2;
  } else {
    return false;
  }
  // Each name on the way is one Windows keeps (no "." or "..", no device, no ":"); an empty one
  // (a doubled or trailing separator) names nothing.
  size_t start = rest;
  while (start <= path.size()) {
    size_t end = std::min(platform::FindSeparator(path, start), path.find('/', start));
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(start, end - start);
    if (!part.empty() && !platform::WindowsCanKeepName(part)) return false;
    start = end + 1;
  }
  return true;
}

std::vector<std::string> UnsafeShareEntries(const RecordedShares& shares) {
  std::vector<std::string> unsafe;
  for (size_t i = 0; i < shares.size(); ++i) {
    if (!IsSafeShareName(shares.names[i]) || !IsSafeSharePath(shares.paths[i])) {
      unsafe.push_back(shares.names[i] + "," + shares.paths[i]);
    }
  }
  return unsafe;
}

}  // namespace qdw::restore
