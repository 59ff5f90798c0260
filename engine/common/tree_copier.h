// Copying a folder tree into the work folder, with the bookkeeping of files that another
// program holds: they are counted and listed in the process-wide backup state, and their
// documents are removed from the working copy once their folder is done.
#ifndef QDW_ENGINE_COMMON_TREE_COPIER_H_
#define QDW_ENGINE_COMMON_TREE_COPIER_H_

#include <string>
#include <utility>
#include <vector>

#include "engine/common/engine_state.h"
#include "engine/common/locked_document_cleanup.h"
#include "engine/common/progress.h"
#include "platform/file_system.h"

namespace qdw::engine {

// What a tree copy could not do. Files held by another program (sharing violations) are the
// expected skips; anything else (disk full, access denied, an unlistable folder, an
// over-long path) means the copy is not a faithful image of the source.
struct CopyOutcome {
  int failures = 0;  // entries that could not be copied, locked files included
  int locked = 0;    // files held by another program

  int Code() const { return failures == 0 ? 0 : 1; }
  bool HasUnexpectedFailures() const { return failures > locked; }
};

class TreeCopier {
 public:
  TreeCopier(platform::FileSystem& files, EngineState& state, LockedDocumentCleanup& cleanup)
      : files_(files), state_(state), cleanup_(cleanup) {}

  // Copies the content of `source` into the existing folder `target`. A source folder that
  // is `excluded` (the work folder, when it lies inside the source) is left out, so a copy
  // never copies itself; empty `excluded` means `target`.
  CopyOutcome CopyTree(const std::string& source, const std::string& target,
                       const std::string& excluded = "");

  // The original document stored beside the file `name` in `folder`: the first file with the
  // same base name whose extension is neither "xml" nor "pdf", else `folder`\`name`.
  std::string OriginalDocument(const std::string& folder, const std::string& name);

  // Bytes of each file copied are counted there (null: not counted).
  void set_counter(ProgressCounter* counter) { counter_ = counter; }

 private:
  void CopyFolder(const std::string& source, const std::string& target, CopyOutcome* outcome);
  // Files of one source folder waiting to be copied together.
  struct FileRun {
    std::vector<platform::FileCopy> copies;
    std::vector<std::string> names;
    std::vector<uint64_t> sizes;
  };
  // Copies the run's files and counts each, in order.
  void CopyRun(const std::string& source, const std::string& target, FileRun* run,
               CopyOutcome* outcome, std::vector<std::pair<std::string, std::string>>* locked_here);
  // A file that could not be copied; one held open is a locked document.
  void CountFailedCopy(const std::string& source, const std::string& target,
                       const std::string& name, platform::WinError error, CopyOutcome* outcome,
                       std::vector<std::pair<std::string, std::string>>* locked_here);

  platform::FileSystem& files_;
  EngineState& state_;
  LockedDocumentCleanup& cleanup_;
  std::string excluded_;
  ProgressCounter* counter_ = nullptr;
};

}  // namespace qdw::engine

#endif  // QDW_ENGINE_COMMON_TREE_COPIER_H_
