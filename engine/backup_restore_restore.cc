// The restore operations of the engine object, kept with the restore engine they drive.
#include "engine/backup_restore.h"
#include "engine/restore/restore_engine.h"

namespace qdw::engine {

namespace {

restore::RestoreEngine MakeRestoreEngine(platform::Platform& platform, Prompts& prompts,
                                         settings::ProductSettings& settings,
                                         engine::EngineState& state,
                                         engine::FileTreeOperations& trees,
                                         const restore::Unpacker& unpacker,
                                         const std::string& world_group) {
  return restore::RestoreEngine(
      restore::RestoreParts{platform, prompts, settings, state, trees, unpacker, world_group});
}

}  // namespace

int CBackupRestore::RestoreFromArchive(const std::string& archive_path,
                                       const std::string& repository,
                                       const std::string& temp_base) {
  return MakeRestoreEngine(platform_, prompts_, settings_, state_, trees_, unpacker_, world_group_)
      .RestoreFromArchive(archive_path, repository, temp_base);
}

void CBackupRestore::StopServicesForRestore() {
  MakeRestoreEngine(platform_, prompts_, settings_, state_, trees_, unpacker_, world_group_)
      .StopServicesForRestore();
}

bool CBackupRestore::RestoreSharesAndSettings(const std::string& temp_folder) {
  return MakeRestoreEngine(platform_, prompts_, settings_, state_, trees_, unpacker_, world_group_)
      .RestoreSharesAndSettings(temp_folder);
}

bool CBackupRestore::RestoreSharedFolderContents(const std::string& temp_folder,
                                                 const std::vector<std::string>& names,
                                                 const std::vector<std::string>& paths,
                                                 const std::vector<std::string>& data_flags) {
  return MakeRestoreEngine(platform_, prompts_, settings_, state_, trees_, unpacker_, world_group_)
      .RestoreSharedFolderContents(temp_folder, names, paths, data_flags);
}

}  // namespace qdw::engine
