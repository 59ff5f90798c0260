#include "engine/backup_restore.h"

#include <utility>

#include "system/haltwerk.h"

namespace qdw::engine {

CBackupRestore::CBackupRestore(platform::Platform& platform, Prompts& prompts,
                               backup::ArchivePacker& packer, EngineOptions options)
    : platform_(platform),
      cursor_(options.cursor),
      progress_(options.progress != nullptr ? *options.progress : no_progress_),
      state_(ProcessEngineState()),
      journal_(platform, state_),
      journaling_(platform, journal_),
      settings_(platform),
      restore_settings_(journaling_),
      command_line_(platform, options.cursor),
      cleanup_(platform, state_),
      trees_(platform, state_, cleanup_),
      shares_(platform, settings_, trees_.copier()),
      product_folder_(settings_, trees_.open_pdf_check(), state_, prompts),
      backup_(backup::BackupParts{platform, prompts, settings_, state_, trees_, shares_,
                                  product_folder_, packer, journal_, progress_}),
      restore_(restore::RestoreParts{journaling_, prompts, restore_settings_, state_, trees_,
                                     journal_, progress_, std::move(options.unpacker),
                                     std::move(options.world_group)}) {}

bool CBackupRestore::BeginRun(bool restore, std::vector<std::string>* pending) {
  journal::RecoveryReport report;
  const bool opened = journal_.Begin(
      restore ? journal::kOperationRestore : journal::kOperationBackup, &report);
  if (pending != nullptr) *pending = report.not_put_back;
  return opened;
}

void CBackupRestore::StopServicesWithoutRights() {
  system::StopServicesWithoutRights(platform_, command_line_, cursor_);
}

}  // namespace qdw::engine
