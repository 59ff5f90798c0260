// CBackupRestore, the engine object of one run: it builds the backup engine, the restore
// engine and the parts they share once, and the run sequence asks it directly. It carries the
// archive path of a backup back to the run sequence and owns the command-line service steps.
#ifndef QDW_ENGINE_BACKUP_RESTORE_H_
#define QDW_ENGINE_BACKUP_RESTORE_H_

#include <string>

#include "engine/backup/archive_packer.h"
#include "engine/backup/backup_sequence.h"
#include "engine/backup/database_locked_document_cleanup.h"
#include "engine/backup/product_folder_step.h"
#include "engine/backup/share_info_writer.h"
#include "engine/common/engine_state.h"
#include "engine/common/file_tree_operations.h"
#include "engine/common/progress.h"
#include "engine/common/prompts.h"
#include "engine/engine_run.h"
#include "engine/journal/journaling_platform.h"
#include "engine/journal/run_journal.h"
#include "engine/restore/restore_engine.h"
#include "platform/platform.h"
#include "settings/product_settings.h"
#include "system/command_line_services.h"
#include "system/wait_cursor.h"

namespace qdw::engine {

struct EngineOptions {
  // The group of all users by the name this language's Windows gives it; the restore grants
  // it change rights on the re-created shares.
  std::string world_group = restore::kEnglishWorldGroup;
  // The hourglass of the waits for outside programs; may be null.
  system::WaitCursor* cursor = nullptr;
  // Unpacks one volume; empty means the archive reader library.
  restore::Unpacker unpacker;
  // Where both engines say how far they have got; null: nowhere. Must outlive the object.
  Progress* progress = nullptr;
};

class CBackupRestore : public EngineRun {
 public:
  // Every reference must outlive the object; `packer` packs the work folder.
  CBackupRestore(platform::Platform& platform, Prompts& prompts, backup::ArchivePacker& packer,
                 EngineOptions options = {});
  CBackupRestore(const CBackupRestore&) = delete;
  CBackupRestore& operator=(const CBackupRestore&) = delete;

  bool BeginRun(bool restore, std::vector<std::string>* pending) override;
  void EndRun() override { journal_.End(); }
  int RunProductFolderStep(const std::string& mode) override { return product_folder_.Run(mode); }
  int RestoreFromArchive(const std::string& archive_path, const std::string& repository,
                         const std::string& temp_base) override {
    return restore_.RestoreFromArchive(archive_path, repository, temp_base);
  }
  int Backup(const std::string& repository, const std::string& destination,
             const std::string& name) override {
    return backup_.Run(repository, destination, name, &archive_path_);
  }
  const std::string& archive_path() const override { return archive_path_; }
  std::string refused_share() const override { return restore_.refused_share(); }
  void StopServicesWithoutRights() override;
  void StartServicesFromCommandLine() override { command_line_.StartProductServices(); }

  // Replaces the archive reader (tests); an empty function restores it.
  void set_unpacker(restore::Unpacker unpacker) { restore_.set_unpacker(std::move(unpacker)); }
  void set_world_group(std::string name) { restore_.set_world_group(std::move(name)); }

  FileTreeOperations& trees() { return trees_; }
  EngineState& state() { return state_; }
  journal::RunJournal& journal() { return journal_; }

 private:
  platform::Platform& platform_;
  system::WaitCursor* cursor_;
  NoProgress no_progress_;
  Progress& progress_;
  EngineState& state_;
  // Declared before every part that changes the machine: the run's journal, and the machine
  // as the restore's share and settings steps see it, recording each change first.
  journal::RunJournal journal_;
  journal::JournalingPlatform journaling_;
  settings::ProductSettings settings_;
  // The restore rewrites the user's shared folders through the journaling view.
  settings::ProductSettings restore_settings_;
  system::CommandLineServices command_line_;
  backup::DatabaseLockedDocumentCleanup cleanup_;
  FileTreeOperations trees_;
  backup::ShareInfoWriter shares_;
  backup::ProductFolderStep product_folder_;
  backup::BackupSequence backup_;
  restore::RestoreEngine restore_;
  std::string archive_path_;
};

}  // namespace qdw::engine

#endif  // QDW_ENGINE_BACKUP_RESTORE_H_
