// The volumes an earlier backup of the same name left at a destination: N.qdw, or N_bakK.qdw
// with N_add2.qdw to N_addK.qdw. A new set under that name replaces all of them, so that no
// folder ever holds volumes of two backups that could be taken for one set.
#ifndef QDW_ENGINE_BACKUP_EARLIER_SET_H_
#define QDW_ENGINE_BACKUP_EARLIER_SET_H_

#include <string>
#include <vector>

#include "platform/file_system.h"

namespace qdw::backup {

// Whether `file_name` is a volume name of the set called `name`, ignoring case as Windows
// does: `name`.qdw, `name`_bakK.qdw or `name`_addK.qdw with K in decimal digits.
bool IsVolumeOfSet(const std::string& name, const std::string& file_name);

// The full paths of the files in `destination` that are volumes of the set `name`, in set
// order whatever order the folder lists them in (`name`.qdw, the _bak volume, then the _add
// volumes by number); empty when there are none or the folder cannot be listed.
std::vector<std::string> EarlierSetVolumes(platform::FileSystem& files,
                                           const std::string& destination,
                                           const std::string& name);

}  // namespace qdw::backup

#endif  // QDW_ENGINE_BACKUP_EARLIER_SET_H_
