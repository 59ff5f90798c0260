// Moving a folder tree into place (the restore side's unpacked folders). On Windows 7 files
// are copied and then deleted instead of moved.
#ifndef QDW_ENGINE_COMMON_TREE_MOVER_H_
#define QDW_ENGINE_COMMON_TREE_MOVER_H_

#include <cstdint>
#include <string>
#include <vector>

#include "engine/common/progress.h"
#include "engine/common/tree_remover.h"
#include "platform/file_system.h"

namespace qdw::engine {

class TreeMover {
 public:
  TreeMover(platform::FileSystem& files, TreeRemover& remover) : files_(files), remover_(remover) {}

  // Moves the content of `source` into the existing folder `target`; 0 when every entry
  // moved, 1 otherwise. `copy_then_delete` chooses the Windows 7 method, where a file that
  // cannot be copied or whose source cannot be deleted fails with kResultCopyIntoPlaceFailed (202).
  // The source is removed only when everything in it was moved, so nothing is lost on failure.
  int MoveTree(const std::string& source, const std::string& target, bool copy_then_delete);

  // Each file moved is counted there (null: not counted); on Windows 7 half a file at its copy
  // and half at its source's delete.
  void set_counter(ProgressCounter* counter) { counter_ = counter; }

 private:
  // A source folder of the copy-then-delete method: the files copied out of it, deleted once
  // every copy of the call is made, and whether the folder goes too (all of it was moved).
  struct CopiedFolder {
    std::string path;
    std::vector<std::string> names;
    std::vector<bool> read_only;
    bool remove = false;
  };

  // Files of one source folder waiting to be copied together.
  struct FileBatch {
    std::vector<platform::FileCopy> copies;
    std::vector<std::string> names;
    std::vector<bool> read_only;
  };

  int PlaceEntries(const std::string& source, const std::string& target, bool copy_then_delete);
  void DeleteCopiedSources();
  // Copies or deletes the batch's files, each counted; fails the move at the first that fails.
  void CopyBatch(FileBatch* batch, CopiedFolder* copied);
  void DeleteBatch(std::vector<std::string>* paths);
  void CountHalfFile();

  platform::FileSystem& files_;
  TreeRemover& remover_;
  ProgressCounter* counter_ = nullptr;
  std::vector<CopiedFolder> copied_;
  uint64_t halves_ = 0;
};

}  // namespace qdw::engine

#endif  // QDW_ENGINE_COMMON_TREE_MOVER_H_
