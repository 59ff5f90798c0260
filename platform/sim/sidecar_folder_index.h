// Whether a folder of the sidecar tree exists, answered without a host lookup each time. Most
// objects have no sidecar, so most of these questions are about folders that are not there, and a
// lookup that fails costs more than one that succeeds (a memory file system keeps no record of a
// missing name). The index remembers the folders it found and the first missing name below them;
// an inotify watch on each folder it remembers keeps that current through any process's changes:
// the queue is read before every answer, and the kernel queues a change before the call that
// made it returns.
#ifndef QDW_PLATFORM_SIM_SIDECAR_FOLDER_INDEX_H_
#define QDW_PLATFORM_SIM_SIDECAR_FOLDER_INDEX_H_

#include <string>

namespace qdw::sim {

// As ::lstat(folder) == 0, for a host path `folder` below `base`, a folder that stays where it
// is (the machine folder). Without inotify, or when the index holds as many folders as it may,
// the answer is a plain lookup.
bool SidecarFolderExists(const std::string& base, const std::string& folder);

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_SIDECAR_FOLDER_INDEX_H_
