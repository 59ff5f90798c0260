// Whether a folder of the sidecar tree exists, answered without a host lookup each time. Most
// objects have no sidecar, so most of these questions are about folders that are not there, and a
// lookup that fails costs more than one that succeeds (a memory file system keeps no record of a
// missing name). The index remembers the folders it found and the first missing name below them;
// an inotify watch on each folder it remembers keeps that current through any process's changes:
// the kernel queues a change before the call that made it returns. The queue is read at a port
// call's first question, and again after this process changed the sidecar tree (which it does
// only inside a SidecarTreeChange); outside a port call, before every answer.
#ifndef QDW_PLATFORM_SIM_SIDECAR_FOLDER_INDEX_H_
#define QDW_PLATFORM_SIM_SIDECAR_FOLDER_INDEX_H_

#include <string>

namespace qdw::sim {

// As ::lstat(folder) == 0, for a host path `folder` below `base`, a folder that stays where it
// is (the machine folder). Without inotify, or when the index holds as many folders as it may,
// the answer is a plain lookup.
bool SidecarFolderExists(const std::string& base, const std::string& folder);

// Held while this process changes the sidecar tree: questions asked meanwhile read the queue
// each time, and every question after it reads the queue once more.
class SidecarTreeChange {
 public:
  SidecarTreeChange();
  ~SidecarTreeChange();
  SidecarTreeChange(const SidecarTreeChange&) = delete;
  SidecarTreeChange& operator=(const SidecarTreeChange&) = delete;
};

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_SIDECAR_FOLDER_INDEX_H_
