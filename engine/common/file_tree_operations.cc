#include "engine/common/file_tree_operations.h"

#include "system/os_version.h"

namespace qdw::engine {

FileTreeOperations::FileTreeOperations(platform::Platform& platform, EngineState& state,
                                       LockedDocumentCleanup& cleanup)
    : platform_(platform),
      copier_(platform.files(), state, cleanup),
      open_pdfs_(platform.files(), state),
      remover_(platform.files(), state),
      markers_(platform.files()),
      mover_(platform.files(), remover_) {}

void FileTreeOperations::set_counter(ProgressCounter* counter) {
  copier_.set_counter(counter);
  mover_.set_counter(counter);
  remover_.set_counter(counter);
}

int FileTreeOperations::MoveTree(const std::string& source, const std::string& target) {
  // Windows 7 gets copy-then-delete; the method is chosen once for the whole tree.
  const bool copy_then_delete = system::WindowsSevenTest(platform_.system()) == 7;
  return mover_.MoveTree(source, target, copy_then_delete);
}

}  // namespace qdw::engine
