// Keeps the installed "QDW" and "QDWie" trees aside, renamed within the product folder, while
// the unpacked ones move in: put back on any failure, removed only after success.
#ifndef QDW_ENGINE_RESTORE_INSTALLATION_SWAP_H_
#define QDW_ENGINE_RESTORE_INSTALLATION_SWAP_H_

#include <string>
#include <utility>
#include <vector>

#include "engine/common/file_tree_operations.h"
#include "platform/file_system.h"

namespace qdw::restore {

// Name stem of a kept tree: "QDW" is kept as "QDW" + stem (then "2", "3"... when taken).
inline constexpr char kKeptTreeSuffix[] = "_KeptByRestore";

class InstallationSwap {
 public:
  InstallationSwap(platform::FileSystem& files, engine::FileTreeOperations& trees)
      : files_(files), trees_(trees) {}

  // Renames product_folder\QDW and product_folder\QDWie aside where they exist. False when one
  // could not be renamed; whatever was already renamed is then back in place.
  bool SetAside(const std::string& product_folder);

  // After a failure: removes what moved in and renames the kept trees back. A kept tree whose
  // place cannot be cleared stays under its kept name rather than be lost.
  void PutBack();

  // After success: removes the kept trees. Files that cannot be deleted join the process-wide
  // undeletable-files list.
  void Discard();

  const std::vector<std::pair<std::string, std::string>>& kept() const { return kept_; }

 private:
  std::string FreeKeptName(const std::string& tree);

  platform::FileSystem& files_;
  engine::FileTreeOperations& trees_;
  // (original path, kept path) of each tree set aside.
  std::vector<std::pair<std::string, std::string>> kept_;
};

}  // namespace qdw::restore

#endif  // QDW_ENGINE_RESTORE_INSTALLATION_SWAP_H_
