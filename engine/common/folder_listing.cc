#include "engine/common/folder_listing.h"

#include "platform/windows_path.h"

namespace qdw::engine {

namespace {

bool List(platform::FileSystem& files, const std::string& folder, bool sizes_and_times,
          std::vector<platform::DirEntry>* entries) {
  entries->clear();
  const std::string pattern = platform::JoinPath(folder, "*.*");
  if (!FitsPathLimit(pattern)) return false;
  std::vector<platform::DirEntry> found;
  platform::WinError error =
      sizes_and_times ? files.Find(pattern, &found) : files.FindNamesAndAttributes(pattern, &found);
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

}  // namespace

bool ListFolder(platform::FileSystem& files, const std::string& folder,
                std::vector<platform::DirEntry>* entries) {
  return List(files, folder, /*sizes_and_times=*/true, entries);
}

bool ListFolderNames(platform::FileSystem& files, const std::string& folder,
                     std::vector<platform::DirEntry>* entries) {
  return List(files, folder, /*sizes_and_times=*/false, entries);
}

bool FitsPathLimit(const std::string& path) { return path.size() < platform::kMaxPath; }

}  // namespace qdw::engine
