// The marker file "VarnoldBackup_QDW2.qkb" in every folder below a work folder, so that
// empty folders reach the archive (which stores files only), and its removal after
// unpacking.
#ifndef QDW_ENGINE_COMMON_FOLDER_MARKERS_H_
#define QDW_ENGINE_COMMON_FOLDER_MARKERS_H_

#include <string>

#include "platform/file_system.h"

namespace qdw::engine {

class FolderMarkers {
 public:
  explicit FolderMarkers(platform::FileSystem& files) : files_(files) {}

  // Puts an empty marker into every folder below `folder` (not into `folder` itself). False
  // when `folder` cannot be listed; a marker that cannot be written raises FrameworkError.
  bool MarkFolders(const std::string& folder);

  // Deletes every file named exactly like the marker in the tree. False when a folder of the
  // tree cannot be listed or a marker cannot be deleted.
  bool RemoveMarkers(const std::string& folder);

 private:
  platform::FileSystem& files_;
};

}  // namespace qdw::engine

#endif  // QDW_ENGINE_COMMON_FOLDER_MARKERS_H_
