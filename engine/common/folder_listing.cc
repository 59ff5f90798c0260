#include "engine/common/folder_listing.h"

#include "platform/windows_path.h"

namespace qdw::engine {

bool ListFolder(platform::FileSystem& files, const std::string& folder,
                std::vector<platform::DirEntry>* entries) {
  entries->clear();
  const std::string pattern = platform::JoinPath(folder, "*.*");
  if (!FitsPathLimit(pattern)) return false;
  std::vector<platform::DirEntry> found;
  platform::WinError error = files.Find(pattern, &found);
  // A drive root without entries has no "." either, so nothing matches; that is still a
  // folder that could be listed.
  if (error == platform::kErrorFileNotFound) return platform::FolderExists(files, folder);
  if (error != platform::kSuccess) return false;
  for (auto& entry : found) {
    if (entry.name == "." || entry.name == "..") continue;
    entries->push_back(std::move(entry));
  }
  return true;
}

bool FitsPathLimit(const std::string& path) { return path.size() < platform::kMaxPath; }

}  // namespace qdw::engine
