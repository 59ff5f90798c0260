// The check made after unpacking and before anything is changed: can every recorded share be
// put back where it was, and may it be?
#ifndef QDW_ENGINE_RESTORE_SHARE_TARGETS_H_
#define QDW_ENGINE_RESTORE_SHARE_TARGETS_H_

#include <string>
#include <vector>

#include "engine/restore/share_info_reader.h"
#include "platform/platform.h"
#include "settings/product_settings.h"

namespace qdw::restore {

struct ShareTargetProblems {
  // Drives ("X:") that are missing, unknown or CD-ROM drives, each once.
  std::vector<std::string> drives;
  // Existing folders outside the product folder that are none of the user's shared folders
  // (every one of them when that list cannot be read).
  std::vector<std::string> folders;
  // "name,path" of entries whose name or path would reach outside the recorded folders, or
  // whose folder the restore must never replace: the Windows folder, a program folder, a
  // drive's root, the tool's data folder, or anything inside one of them or holding one of
  // them or the product folder. An unreadable share information file is listed by its path.
  std::vector<std::string> unsafe_entries;

  bool empty() const { return drives.empty() && folders.empty() && unsafe_entries.empty(); }
};

// Checks the shares recorded in `folder`'s "BackupShareInfo.txt"; `repository` is the
// repository the restore replaces. Anything that cannot be checked counts as a problem.
void CheckShareTargets(platform::Platform& platform, settings::ProductSettings& settings,
                       const std::string& folder, const std::string& repository,
                       ShareTargetProblems* problems);

// The folders no recorded share may be, lie in or hold, as full paths: the Windows folder,
// both views of the program folders and the tool's data folder.
std::vector<std::string> ProtectedFolders(platform::Platform& platform);

// Whether the recorded share folder `path` is one the restore must not replace: see
// ShareTargetProblems::unsafe_entries. `product_folder` is repository + "\VARNOLD".
bool IsProtectedTarget(platform::FileSystem& files, const std::string& path,
                       const std::vector<std::string>& protected_folders,
                       const std::string& product_folder);

}  // namespace qdw::restore

#endif  // QDW_ENGINE_RESTORE_SHARE_TARGETS_H_
