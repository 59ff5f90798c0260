// File operations of the record cleanup on the backup's working copy. Every deletion tests for
// the file first and ignores failure: a file left behind only leaves an unreferenced file in
// the archive.
#ifndef QDW_DATABASE_WORKING_COPY_FILES_H_
#define QDW_DATABASE_WORKING_COPY_FILES_H_

#include <functional>
#include <string>

#include "platform/file_system.h"

namespace qdw::database {

// Removes a folder with everything in it; true when it is gone.
using TreeRemover = std::function<bool(const std::string& folder)>;

class WorkingCopyFiles {
 public:
  // `remove_tree` is the engine's tree removal; when empty, a plain recursive removal is used.
  WorkingCopyFiles(platform::FileSystem& files, TreeRemover remove_tree);

  bool FileExists(const std::string& path);
  bool FolderExists(const std::string& path);
  // Deletes `path` when a file is there.
  void DeleteFileIfPresent(const std::string& path);
  // Removes the folder tree at `path` when a folder is there.
  void RemoveFolderIfPresent(const std::string& path);
  // Deletes every file of `folder` whose name matches `name_pattern` ("*" and "?").
  void DeleteMatchingFiles(const std::string& folder, const std::string& name_pattern);

 private:
  bool RemoveTreePlain(const std::string& folder);

  platform::FileSystem& files_;
  TreeRemover remove_tree_;
};

}  // namespace qdw::database

#endif  // QDW_DATABASE_WORKING_COPY_FILES_H_
