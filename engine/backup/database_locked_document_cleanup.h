// The record cleanup of the product database as the tree copy's locked-document handler:
// a locked document's companion files and rows leave the working copy.
#ifndef QDW_ENGINE_BACKUP_DATABASE_LOCKED_DOCUMENT_CLEANUP_H_
#define QDW_ENGINE_BACKUP_DATABASE_LOCKED_DOCUMENT_CLEANUP_H_

#include <string>

#include "database/record_cleanup.h"
#include "engine/common/engine_state.h"
#include "engine/common/locked_document_cleanup.h"
#include "engine/common/tree_remover.h"
#include "platform/platform.h"

namespace qdw::backup {

class DatabaseLockedDocumentCleanup : public engine::LockedDocumentCleanup {
 public:
  DatabaseLockedDocumentCleanup(platform::Platform& platform, engine::EngineState& state);

  void RemoveLockedDocument(const std::string& folder, const std::string& base_name) override {
    records_.RemoveLockedDocument(folder, base_name);
  }

 private:
  engine::TreeRemover remover_;
  database::RecordCleanup records_;
};

}  // namespace qdw::backup

#endif  // QDW_ENGINE_BACKUP_DATABASE_LOCKED_DOCUMENT_CLEANUP_H_
