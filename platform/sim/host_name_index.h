// A per-process index of the names in recently used host folders, folded to upper case, so
// that asking whether a new name exists in another case does not read the whole folder. The
// index follows every change to an indexed folder, this process's and any other's, through an
// inotify watch: the kernel queues a folder's change before the call that made it returns, so
// reading the queue before each answer sees everything done before the question was asked.
#ifndef QDW_PLATFORM_SIM_HOST_NAME_INDEX_H_
#define QDW_PLATFORM_SIM_HOST_NAME_INDEX_H_

#include <sys/stat.h>

#include <string>

namespace qdw::sim {

// False when the host folder `folder` (whose stat() is `folder_info`) certainly holds no name
// equal to `name` ignoring case in `code_page`; true when it may (the caller then reads the
// folder), also whenever the index cannot tell (no inotify, a watch refused, a full queue).
bool FolderMayHoldName(const std::string& folder, const struct stat& folder_info,
                       const std::string& name, int code_page);

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_HOST_NAME_INDEX_H_
