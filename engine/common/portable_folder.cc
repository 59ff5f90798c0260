#include "engine/common/portable_folder.h"

#include "platform/windows_path.h"

namespace qdw::engine {

PortableFolders::PortableFolders(const std::string& repository_path, const std::string& desktop,
                                 const std::string& documents)
    : repository_path_(repository_path), desktop_(desktop), documents_(documents) {
  if (!repository_path_.empty()) data_folder_ = repository_path_ + kDataFolderSuffix;
  profile_ = platform::FolderPart(desktop_);
}

std::string PortableFolders::Portable(const std::string& folder) const {
  if (platform::IsAtOrBelow(folder, data_folder_)) {
    return kDataFolderMarker + folder.substr(repository_path_.size());
  }
  if (platform::IsAtOrBelow(folder, desktop_)) {
    return kDesktopMarker + folder.substr(desktop_.size());
  }
  if (platform::IsAtOrBelow(folder, documents_)) {
    return kDocumentsMarker + folder.substr(documents_.size());
  }
  if (platform::IsAtOrBelow(folder, profile_)) {
    return kProfileMarker + platform::UpperAnsi(folder.substr(profile_.size()));
  }
  return folder;
}

bool PortableFolders::InDataFolder(const std::string& folder) const {
  if (!data_folder_.empty()) return platform::IsAtOrBelow(folder, data_folder_);
  // Without a repository path the data folder is known only by its own names.
  return platform::ContainsIgnoreCase(folder, "\\VARNOLD\\QDW\\QUILLON DESKORA\\");
}

}  // namespace qdw::engine
