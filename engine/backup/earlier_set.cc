#include "engine/backup/earlier_set.h"

#include <algorithm>
#include <utility>

#include "platform/windows_path.h"

namespace qdw::backup {
namespace {

constexpr char kVolumeExtension[] = ".qdw";
// A set has at most 65535 volumes, so a volume number has at most five digits.
constexpr size_t kMaxVolumeDigits = 5;

bool IsVolumeNumber(const std::string& text) {
  return !text.empty() && text.size() <= kMaxVolumeDigits &&
         text.find_first_not_of("0123456789") == std::string::npos;
}

// Where a volume of the set `name` stands in it: the single volume, a first volume, then the
// continuations by number.
std::pair<int, unsigned long> SetPosition(const std::string& name, const std::string& file_name) {
  const std::string middle = file_name.substr(
      name.size(), file_name.size() - name.size() - std::string(kVolumeExtension).size());
  if (middle.empty()) return {0, 0};
  const int kind = platform::StartsWithIgnoreCase(middle, "_bak") ? 1 : 2;
  return {kind, std::stoul(middle.substr(std::string("_bak").size()))};
}

}  // namespace

bool IsVolumeOfSet(const std::string& name, const std::string& file_name) {
  const std::string extension = kVolumeExtension;
  if (file_name.size() < name.size() + extension.size() ||
      !platform::StartsWithIgnoreCase(file_name, name) ||
      !platform::EndsWithIgnoreCase(file_name, extension)) {
    return false;
  }
  const std::string middle =
      file_name.substr(name.size(), file_name.size() - name.size() - extension.size());
  if (middle.empty()) return true;
  for (const char* marker : {"_bak", "_add"}) {
    if (platform::StartsWithIgnoreCase(middle, marker) &&
        IsVolumeNumber(middle.substr(std::string(marker).size()))) {
      return true;
    }
  }
  return false;
}

std::vector<std::string> EarlierSetVolumes(platform::FileSystem& files,
                                           const std::string& destination,
                                           const std::string& name) {
  std::vector<std::string> volumes;
  std::vector<platform::DirEntry> entries;
  const std::string pattern = platform::JoinPath(destination, name + "*" + kVolumeExtension);
  if (files.Find(pattern, &entries) != platform::kSuccess) return volumes;
  // The question lists them, and a listing's order is the file system's own.
  std::vector<std::pair<std::pair<int, unsigned long>, std::string>> found;
  for (const platform::DirEntry& entry : entries) {
    if ((entry.attributes & platform::kAttrDirectory) != 0) continue;
    if (IsVolumeOfSet(name, entry.name))
      found.push_back({SetPosition(name, entry.name), entry.name});
  }
  std::stable_sort(found.begin(), found.end());
  for (const auto& volume : found)
    volumes.push_back(platform::JoinPath(destination, volume.second));
  return volumes;
}

}  // namespace qdw::backup
