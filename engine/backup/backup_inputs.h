// The checks of a backup's inputs before anything is created: the destination folder, the
// archive file name and the length of the archive path.
#ifndef QDW_ENGINE_BACKUP_BACKUP_INPUTS_H_
#define QDW_ENGINE_BACKUP_BACKUP_INPUTS_H_

#include <string>

#include "platform/file_system.h"

namespace qdw::backup {

// The longest archive path accepted.
inline constexpr size_t kMaxArchivePathLength = 255;

// Whether every path the set `name` at `destination` may need fits the platform's path
// buffer: the archive path within kMaxArchivePathLength, and the volumes the archive writer
// makes in the file-temp folder (up to its last possible continuation) and their places at
// the destination within the path limit. Checked before anything is copied, so that a long
// name never costs a whole copy of the repository first.
bool SetPathsFit(const std::string& destination, const std::string& name,
                 const std::string& file_temp_folder_name);

// `destination` without its trailing "\". A bare drive ("C:") must be a removable, fixed,
// remote or RAM drive; any other path must be an existing folder.
bool DestinationAccepted(platform::FileSystem& files, const std::string& destination);

// The message that refuses `name`, or 0 when it is accepted: kMsgBadNameCharacter for a
// character that cannot stand in a file name or a volume list, kMsgNameHasBak for "_bak"
// (exact case), which marks the first volume of a set.
int NameRefusal(const std::string& name);

// True when `destination` is the product folder (repository path + "\VARNOLD") or lies
// inside it, as written or as the system resolves it: the copy would copy itself. A destination
// the system cannot resolve counts as inside.
bool DestinationInsideProduct(platform::FileSystem& files, const std::string& destination,
                              const std::string& repository);

}  // namespace qdw::backup

#endif  // QDW_ENGINE_BACKUP_BACKUP_INPUTS_H_
