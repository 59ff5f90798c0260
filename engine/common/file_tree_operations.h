// The seven tree operations of the engine object in one place: copy (with locked-file
// bookkeeping), original-document lookup, open-PDF check, removal, marking, marker removal
// and move. All take paths without a trailing "\"; paths beyond the platform's limit are
// refused with the operation's failure result.
#ifndef QDW_ENGINE_COMMON_FILE_TREE_OPERATIONS_H_
#define QDW_ENGINE_COMMON_FILE_TREE_OPERATIONS_H_

#include <string>

#include "engine/common/engine_state.h"
#include "engine/common/folder_markers.h"
#include "engine/common/locked_document_cleanup.h"
#include "engine/common/open_pdf_check.h"
#include "engine/common/tree_copier.h"
#include "engine/common/tree_mover.h"
#include "engine/common/tree_remover.h"
#include "platform/platform.h"

namespace qdw::engine {

class FileTreeOperations {
 public:
  FileTreeOperations(platform::Platform& platform, EngineState& state,
                     LockedDocumentCleanup& cleanup);

  CopyOutcome CopyTree(const std::string& source, const std::string& target,
                       const std::string& excluded = "") {
    return copier_.CopyTree(source, target, excluded);
  }
  std::string OriginalDocument(const std::string& folder, const std::string& name) {
    return copier_.OriginalDocument(folder, name);
  }
  bool HasOpenPdf(const std::string& folder) { return open_pdfs_.HasOpenPdf(folder); }
  bool RemoveTree(const std::string& folder, ReadOnlyHandling read_only = ReadOnlyHandling::kKeep) {
    return remover_.RemoveTree(folder, read_only);
  }
  bool MarkFolders(const std::string& folder) { return markers_.MarkFolders(folder); }
  bool RemoveMarkers(const std::string& folder) { return markers_.RemoveMarkers(folder); }
  // 0 when everything moved, 1 otherwise; on Windows 7 fails with kResultCopyIntoPlaceFailed (202)
  // for a file that cannot be copied or whose source cannot be deleted.
  int MoveTree(const std::string& source, const std::string& target);

  // The files the copy (in bytes), the move and the removal (in files) do are counted there
  // until it is set back to null.
  void set_counter(ProgressCounter* counter);

  TreeCopier& copier() { return copier_; }
  OpenPdfCheck& open_pdf_check() { return open_pdfs_; }

 private:
  platform::Platform& platform_;
  TreeCopier copier_;
  OpenPdfCheck open_pdfs_;
  TreeRemover remover_;
  FolderMarkers markers_;
  TreeMover mover_;
};

// Counts the work of the tree operations into `counter` while it lives.
class CountedTreeWork {
 public:
  CountedTreeWork(FileTreeOperations& trees, ProgressCounter& counter) : trees_(trees) {
    trees_.set_counter(&counter);
  }
  ~CountedTreeWork() { trees_.set_counter(nullptr); }
  CountedTreeWork(const CountedTreeWork&) = delete;
  CountedTreeWork& operator=(const CountedTreeWork&) = delete;

 private:
  FileTreeOperations& trees_;
};

}  // namespace qdw::engine

#endif  // QDW_ENGINE_COMMON_FILE_TREE_OPERATIONS_H_
