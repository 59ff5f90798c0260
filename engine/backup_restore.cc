#include "engine/backup_restore.h"

#include "engine/backup/open_flag_reset.h"

namespace qdw::engine {

CBackupRestore::CBackupRestore(platform::Platform& platform, Prompts& prompts,
                               backup::ArchivePacker& packer)
    : platform_(platform),
      prompts_(prompts),
      state_(engine::ProcessEngineState()),
      settings_(platform),
      cleanup_(platform, state_),
      trees_(platform, state_, cleanup_),
      shares_(platform, settings_, trees_.copier()),
      product_folder_(settings_, trees_.open_pdf_check(), state_, prompts),
      sequence_(backup::BackupParts{platform, prompts, settings_, state_, trees_, shares_,
                                    product_folder_, packer}) {}

int CBackupRestore::Backup(const std::string& repository, const std::string& destination,
                           const std::string& name) {
  return sequence_.Run(repository, destination, name, &archive_path_);
}

bool CBackupRestore::ResetOpenFlags() {
  return backup::ResetOpenFlags(platform_, state_.working_copy_folder);
}

bool CBackupRestore::WriteShareInformation(const std::vector<std::string>& shared_folders,
                                           const std::string& work_folder) {
  return shares_.Write(shared_folders, work_folder) == backup::ShareInfoResult::kWritten;
}

}  // namespace qdw::engine
