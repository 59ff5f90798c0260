// Removing a folder tree. Files that cannot be deleted are remembered in the process-wide
// undeletable-files list for the restore engine.
#ifndef QDW_ENGINE_COMMON_TREE_REMOVER_H_
#define QDW_ENGINE_COMMON_TREE_REMOVER_H_

#include <string>
#include <vector>

#include "engine/common/engine_state.h"
#include "engine/common/progress.h"
#include "platform/file_system.h"

namespace qdw::engine {

enum class ReadOnlyHandling {
  // Read-only files stop the removal, as for folders the user owns.
  kKeep,
  // The tool's own folders and a move's source: read-only attributes are cleared first, so
  // one read-only file cannot make every later run fail.
  kClear,
};

class TreeRemover {
 public:
  TreeRemover(platform::FileSystem& files, EngineState& state) : files_(files), state_(state) {}

  // True when the whole tree, `folder` included, is gone. Stops at the first file or folder
  // that cannot be removed.
  // A tree that is a junction, and every junction inside it, goes as the link alone: the
  // target's content is never touched.
  bool RemoveTree(const std::string& folder, ReadOnlyHandling read_only = ReadOnlyHandling::kKeep);

  // Each file deleted is counted there (null: not counted).
  void set_counter(ProgressCounter* counter) { counter_ = counter; }

 private:
  // `folder` with the attributes it was listed with.
  bool RemoveFolderEntry(const std::string& folder, uint32_t attributes,
                         ReadOnlyHandling read_only);
  // Deletes the files of `run` in order and empties it; false when one could not go.
  bool DeleteRun(std::vector<std::string>* run);
  void ClearReadOnly(const std::string& path, uint32_t attributes);

  platform::FileSystem& files_;
  EngineState& state_;
  ProgressCounter* counter_ = nullptr;
};

}  // namespace qdw::engine

#endif  // QDW_ENGINE_COMMON_TREE_REMOVER_H_
