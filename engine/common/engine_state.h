// Process-wide state of the engines, shared by the backup sequence, the restore engine, the
// file-tree operations and the record cleanup of the working copy. It lives for the whole
// process and is used by one run at a time on one thread, so it carries no lock.
//
// The backup engine calls BeginBackupRun() at the start of every backup run; the tree copy
// fills the locked-file fields, the open-file check the open-PDF list, the tree removal the
// undeletable-files list (which the restore engine reads), and the record cleanup reads the
// working-copy folder and keeps the merged-folder list.
#ifndef QDW_ENGINE_COMMON_ENGINE_STATE_H_
#define QDW_ENGINE_COMMON_ENGINE_STATE_H_

#include <string>
#include <vector>

#include "database/merged_folder_list.h"

namespace qdw::engine {

struct EngineState {
  // The working copy of the product's "QDW" folder (...\QDWBackUpTemp\VARNOLD\QDW); the
  // record cleanup and the open-flag reset find the working-copy database below it.
  std::string working_copy_folder;

  // Files the tree copy could not read because another program held them.
  int locked_file_count = 0;
  // Lower-case full source path of each locked file.
  std::vector<std::string> locked_documents;
  // Lower-case path of each locked file's original document; same order and length.
  std::vector<std::string> original_files;
  // Source folder of the latest locked file.
  std::string latest_locked_source_folder;

  // File names (no folder) of PDF files found held open; emptied by each product-folder step.
  std::vector<std::string> open_pdfs;
  // Full paths of files a tree removal could not delete; never emptied during the process.
  std::vector<std::string> undeletable_files;

  // Merged documents met by the record cleanup.
  database::MergedFolderList merged_folders;

  // Resets what must not carry over from an earlier backup run in the same process. A
  // merged-folder list left from an earlier run would make the cleanup revisit folders of
  // that run's working copy, so it is emptied here too.
  void BeginBackupRun() {
    locked_file_count = 0;
    locked_documents.clear();
    original_files.clear();
    merged_folders.Clear();
  }
};

// The one instance of the process.
inline EngineState& ProcessEngineState() {
  static EngineState state;
  return state;
}

}  // namespace qdw::engine

#endif  // QDW_ENGINE_COMMON_ENGINE_STATE_H_
