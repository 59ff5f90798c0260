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
      settings_(platform),
      command_line_(platform, options.cursor),
      cleanup_(platform, state_),
      trees_(platform, state_, cleanup_),
      shares_(platform, settings_, trees_.copier()),
      product_folder_(settings_, trees_.open_pdf_check(), state_, prompts),
      backup_(backup::BackupParts{platform, prompts, settings_, state_, trees_, shares_,
                                  product_folder_, packer, progress_}),
      restore_(restore::RestoreParts{platform, prompts, settings_, state_, trees_, progress_,
                                     std::move(options.unpacker), std::move(options.world_group)}) {
}

void CBackupRestore::StopServicesWithoutRights() {
  system::StopServicesWithoutRights(platform_, command_line_, cursor_);
}

}  // namespace qdw::engine
