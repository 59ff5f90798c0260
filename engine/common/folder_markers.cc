#include "engine/common/folder_markers.h"

#include <memory>
#include <vector>

#include "engine/common/engine_errors.h"
#include "engine/common/folder_listing.h"
#include "platform/reparse_points.h"
#include "platform/windows_path.h"

namespace qdw::engine {

bool FolderMarkers::MarkFolders(const std::string& folder) {
  std::vector<platform::DirEntry> entries;
  if (!ListFolderNames(files_, folder, &entries)) return false;
  for (const platform::DirEntry& entry : entries) {
    // A junction's target is another folder, which gets no marker.
    if (!IsFolder(entry) || platform::IsReparsePoint(entry)) continue;
    const std::string subfolder = platform::JoinPath(folder, entry.name);
    const std::string marker = platform::JoinPath(subfolder, kFolderMarkerName);
    std::unique_ptr<platform::File> file;
    platform::WinError error =
        FitsPathLimit(marker)
            ? files_.Open(marker, platform::kGenericWrite, platform::kShareNone,
                          platform::Disposition::kCreateAlways, platform::kAttrNormal, &file)
            : platform::kErrorFilenameExcedRange;
    if (error != platform::kSuccess) {
      throw engine::FrameworkError("cannot create the folder marker " + marker + " (error " +
                                   std::to_string(error) + ")");
    }
    file.reset();
    MarkFolders(subfolder);
  }
  return true;
}

bool FolderMarkers::RemoveMarkers(const std::string& folder) {
  std::vector<platform::DirEntry> entries;
  if (!ListFolderNames(files_, folder, &entries)) return false;
  // A marker left behind would stay in the restored repository: any folder that cannot be
  // listed, or marker that cannot be deleted, fails the whole removal.
  bool removed = true;
  for (const platform::DirEntry& entry : entries) {
    const std::string path = platform::JoinPath(folder, entry.name);
    if (IsFolder(entry)) {
      // A junction's target is not the tree's to change.
      if (!platform::IsReparsePoint(entry) && !RemoveMarkers(path)) removed = false;
    } else if (entry.name == kFolderMarkerName && files_.Delete(path) != platform::kSuccess) {
      removed = false;
    }
  }
  return removed;
}

}  // namespace qdw::engine
