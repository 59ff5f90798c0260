// What the tree copy asks of the product database side when a document could not be copied
// because another program held it: remove the document's companion files and rows from the
// working copy.
#ifndef QDW_ENGINE_COMMON_LOCKED_DOCUMENT_CLEANUP_H_
#define QDW_ENGINE_COMMON_LOCKED_DOCUMENT_CLEANUP_H_

#include <string>

namespace qdw::engine {

class LockedDocumentCleanup {
 public:
  virtual ~LockedDocumentCleanup() = default;
  // `folder` is the working-copy folder that should have held the file, `base_name` the
  // file name up to its first ".".
  virtual void RemoveLockedDocument(const std::string& folder, const std::string& base_name) = 0;
};

// For copies where no record cleanup applies.
class NoLockedDocumentCleanup : public LockedDocumentCleanup {
 public:
  void RemoveLockedDocument(const std::string&, const std::string&) override {}
};

}  // namespace qdw::engine

#endif  // QDW_ENGINE_COMMON_LOCKED_DOCUMENT_CLEANUP_H_
