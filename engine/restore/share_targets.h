// The check made after unpacking and before anything is changed: can every recorded share be
// put back where it was?
#ifndef QDW_ENGINE_RESTORE_SHARE_TARGETS_H_
#define QDW_ENGINE_RESTORE_SHARE_TARGETS_H_

#include <string>
#include <vector>

#include "settings/product_settings.h"
#include "engine/restore/share_info_reader.h"
#include "platform/platform.h"

namespace qdw::restore {

struct ShareTargetProblems {
  // Drives ("X:") that are missing, unknown or CD-ROM drives, each once.
  std::vector<std::string> drives;
  // Existing folders outside the product folder that are none of the user's shared folders.
  std::vector<std::string> folders;
  // "name,path" of entries whose name or path would reach outside the recorded folders.
  std::vector<std::string> unsafe_entries;

  bool empty() const { return drives.empty() && folders.empty() && unsafe_entries.empty(); }
};

// Checks the shares recorded in `folder`'s "BackupShareInfo.txt". False when the file or the
// user's shared folders could not be read; `problems` then holds what was found so far.
bool CheckShareTargets(platform::Platform& platform, settings::ProductSettings& settings,
                       const std::string& folder, ShareTargetProblems* problems);

}  // namespace qdw::restore

#endif  // QDW_ENGINE_RESTORE_SHARE_TARGETS_H_
