#include "engine/backup/database_locked_document_cleanup.h"

namespace qdw::backup {

DatabaseLockedDocumentCleanup::DatabaseLockedDocumentCleanup(platform::Platform& platform,
                                                             engine::EngineState& state)
    : remover_(platform.files(), state),
      records_(platform.files(), platform.databases(), state.working_copy_folder,
               state.merged_folders,
               [this](const std::string& folder) { return remover_.RemoveTree(folder); }) {}

}  // namespace qdw::backup
