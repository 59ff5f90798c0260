#include "engine/backup/database_locked_document_cleanup.h"

namespace qdw::backup {

DatabaseLockedDocumentCleanup::DatabaseLockedDocumentCleanup(platform::Platform& platform,
                                                             BackupState& state)
    : remover_(platform.files(), state),
      records_(platform.files(), platform.databases(), state,
               [this](const std::string& folder) { return remover_.RemoveTree(folder); }) {}

}  // namespace qdw::backup
