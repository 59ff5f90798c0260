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
  // name of the document it belongs to (DocumentStem of the file name).
  virtual void RemoveLockedDocument(const std::string& folder, const std::string& base_name) = 0;
};

// The name of the document a stored file belongs to: the file name without its last
// extension, so that "Memo.2024.pdf" names the document "Memo.2024" and never "Memo". A name
// without a "." after its first character is a document name of its own.
std::string DocumentStem(const std::string& file_name);

// For copies where no record cleanup applies.
class NoLockedDocumentCleanup : public LockedDocumentCleanup {
 public:
  void RemoveLockedDocument(const std::string&, const std::string&) override {}
};

}  // namespace qdw::engine

#endif  // QDW_ENGINE_COMMON_LOCKED_DOCUMENT_CLEANUP_H_
