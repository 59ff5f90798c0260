#include "platform/normalised_paths.h"

#include "platform/windows_path.h"

namespace qdw::platform {
namespace {

// "C:\" and "\\server\share\" keep their separator: without it they would not be roots.
bool IsRoot(const std::string& path) {
  if (path.size() == 3 && path[1] == ':') return true;
  if (path.size() < 2 || path[0] != '\\' || path[1] != '\\') return false;
  const size_t server_end = FindSeparator(path, 2);
  if (server_end == std::string::npos) return true;
  const size_t share_end = FindSeparator(path, server_end + 1);
  return share_end == std::string::npos || share_end + 1 == path.size();
}

}  // namespace

bool NormalisedPath(FileSystem& files, const std::string& path, std::string* full) {
  const std::string asked = IsBareDrive(path) ? path + "\\" : path;
  std::string resolved;
  if (files.FullPath(asked, &resolved) != kSuccess || resolved.empty()) return false;
  while (EndsWithSeparator(resolved) && !IsRoot(resolved)) resolved.pop_back();
  *full = resolved;
  return true;
}

bool LiesInside(FileSystem& files, const std::string& path, const std::string& folder) {
  if (folder.empty()) return false;
  if (IsAtOrBelow(StripTrailingSeparator(path), StripTrailingSeparator(folder))) return true;
  std::string full_path;
  if (!NormalisedPath(files, path, &full_path)) return true;
  std::string full_folder;
  if (!NormalisedPath(files, folder, &full_folder)) full_folder = StripTrailingSeparator(folder);
  return IsAtOrBelow(full_path, full_folder);
}

}  // namespace qdw::platform
