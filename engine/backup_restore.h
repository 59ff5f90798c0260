// CBackupRestore, the engine object of one run: a thin facade over the file-tree
// operations, the share information writer, the product-folder step and the backup
// sequence (the restore operations join it from the restore engine). It carries the archive
// path of a backup back to the run sequence.
#ifndef QDW_ENGINE_BACKUP_BACKUP_RESTORE_H_
#define QDW_ENGINE_BACKUP_BACKUP_RESTORE_H_

#include <functional>
#include <string>
#include <vector>

#include "engine/backup/archive_packer.h"
#include "engine/backup/backup_sequence.h"
#include "engine/common/engine_state.h"
#include "engine/backup/database_locked_document_cleanup.h"
#include "engine/common/file_tree_operations.h"
#include "engine/backup/product_folder_step.h"
#include "engine/backup/share_info_writer.h"
#include "engine/common/prompts.h"
#include "settings/product_settings.h"
#include "platform/platform.h"

namespace qdw::engine {

class CBackupRestore {
 public:
  // Every reference must outlive the object; `packer` packs the work folder.
  CBackupRestore(platform::Platform& platform, Prompts& prompts, backup::ArchivePacker& packer);
  CBackupRestore(const CBackupRestore&) = delete;
  CBackupRestore& operator=(const CBackupRestore&) = delete;

  // The backup engine: the result code (0, 1 to 11, 100, 307); afterwards archive_path()
  // holds the first volume's path unless the inputs were refused.
  int Backup(const std::string& repository, const std::string& destination,
             const std::string& name);

  // The product-folder step with "Backup" or "Restore": 0 to go on, 307 to stop. Raises
  // ResultCodeError(301) when the repository path cannot be read.
  int RunProductFolderStep(const std::string& mode) { return product_folder_.Run(mode); }

  // Clears the "open" flags of the working-copy database; false when it does not exist.
  bool ResetOpenFlags();

  // Writes "BackupShareInfo.txt" into `work_folder` and copies the shared folders that lie
  // outside the product's data folder; true when the file was written and every copy is
  // complete but for files held by other programs.
  bool WriteShareInformation(const std::vector<std::string>& shared_folders,
                             const std::string& work_folder);

  // The restore engine (defined with it in engine/restore): 0, 100, 201 to 215 or 307.
  // `temp_base` is empty on the first call and the folder the user chose after 203.
  int RestoreFromArchive(const std::string& archive_path, const std::string& repository,
                         const std::string& temp_base);
  // Stops what keeps the product's files and shares busy; never fails towards its caller.
  void StopServicesForRestore();
  // Re-creates the archive's shares, registry entries and folder records from
  // `temp_folder`'s share information; false on any failure.
  bool RestoreSharesAndSettings(const std::string& temp_folder);
  bool RestoreSharedFolderContents(const std::string& temp_folder,
                                   const std::vector<std::string>& names,
                                   const std::vector<std::string>& paths,
                                   const std::vector<std::string>& data_flags);
  // Replaces the archive reader's Extract (tests); an empty function restores it.
  void set_unpacker(std::function<int(const std::string&, const std::string&)> unpacker) {
    unpacker_ = std::move(unpacker);
  }
  // The name under which the restore grants the group of all users change rights on the
  // re-created shares; "Everyone" unless this language's Windows calls it otherwise.
  void set_world_group(std::string name) { world_group_ = std::move(name); }

  engine::FileTreeOperations& trees() { return trees_; }
  engine::EngineState& state() { return state_; }
  const std::string& archive_path() const { return archive_path_; }

 private:
  platform::Platform& platform_;
  Prompts& prompts_;
  engine::EngineState& state_;
  settings::ProductSettings settings_;
  backup::DatabaseLockedDocumentCleanup cleanup_;
  engine::FileTreeOperations trees_;
  backup::ShareInfoWriter shares_;
  backup::ProductFolderStep product_folder_;
  backup::BackupSequence sequence_;
  std::string archive_path_;
  std::function<int(const std::string&, const std::string&)> unpacker_;
  std::string world_group_ = "Everyone";
};

}  // namespace qdw::engine

#endif  // QDW_ENGINE_BACKUP_BACKUP_RESTORE_H_
