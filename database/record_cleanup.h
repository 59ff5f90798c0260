// Removes from the backup's working copy every trace of a document that could not be copied
// because another program held it: its companion files and the database rows that describe
// it, so that the archived database never names a file the archive lacks.
//
// Works only on the working copy and its database, through the process-wide connection.
// Nothing here is shown or logged.
#ifndef QDW_DATABASE_RECORD_CLEANUP_H_
#define QDW_DATABASE_RECORD_CLEANUP_H_

#include <string>

#include "database/merged_folder_list.h"
#include "database/working_copy_files.h"
#include "platform/database.h"
#include "platform/file_system.h"

namespace qdw::database {

// Companion files of a document, tried in this order after its "$#" folder.
inline constexpr const char* kCompanionExtensions[] = {".xml",  ".doc",  ".docx", ".xls",  ".xlsx",
                                                       ".jpg",  ".jpeg", ".ppt",  ".pptx", ".png",
                                                       ".tiff", ".tif",  ".txt"};

class RecordCleanup {
 public:
  // `working_root` is the working copy of the "QDW" folder, read at every call (the backup
  // names it once the copy exists); `merged_folders` is the list of the run. Both must outlive
  // the object.
  RecordCleanup(platform::FileSystem& files, platform::Databases& databases,
                const std::string& working_root, MergedFolderList& merged_folders,
                TreeRemover remove_tree);

  // Entry point for one locked file: `directory` is the working-copy folder that should have
  // held it, `base_name` the name of the document it belongs to. Always succeeds.
  bool RemoveLockedDocument(std::string directory, std::string base_name);

  // Deletes the rows of the open or merged documents whose pdf_name is `base_name` and whose
  // folder is `directory` from the database below `working_root`, with their versions, binder
  // counts and merged parts. A same-named document of another folder is another document and
  // stays. Database errors end the scan silently.
  void PurgeLockedDocumentRecords(std::string directory, std::string working_root,
                                  std::string base_name);

  // Sub-steps; they use the process connection while the scan holds it open and report
  // failure at the first statement that fails.
  bool PurgeMergedParts(std::string document_id, std::string directory, std::string name,
                        std::string extension);
  bool DecrementBinderCount(std::string binder_id);
  // `name` is the base name of the document's files: its original_file_name, or its pdf_name
  // when it has no original.
  bool PurgeFileVersions(long version_count, std::string document_id, std::string directory,
                         std::string name, std::string extension);

 private:
  // Everything the scan does for one matching row: its record in the merged-folder list, its
  // file, its merged parts, its binder count, its versions and finally its own row. False when
  // that final DELETE failed.
  bool PurgeDocument(platform::DatabaseConnection& connection, const std::string& directory,
                     const std::string& document_id);

  WorkingCopyFiles files_;
  platform::Databases& databases_;
  const std::string& working_root_;
  MergedFolderList& merged_folders_;
};

}  // namespace qdw::database

#endif  // QDW_DATABASE_RECORD_CLEANUP_H_
