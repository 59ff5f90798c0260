// The names of an archive set's volumes: the first is base + "_bak" + N + ".qdw", the others
// base + "_add" + i + ".qdw" for i = 2 to N, in the same folder.
#ifndef QDW_ENGINE_RESTORE_VOLUME_SET_H_
#define QDW_ENGINE_RESTORE_VOLUME_SET_H_

#include <string>
#include <vector>

#include "engine/common/archive_names.h"

namespace qdw::restore {

// The volume count a "_bak" file name claims: the digits after the first "_bak", up to the
// extension, read as atoi does (0 when none). -1 when the count is beyond engine::kMaxVolumeCount.
long VolumeCountFromName(const std::string& file_name);

// Names of the continuation volumes 2 to `count` of the set whose first volume is `file_name`.
std::vector<std::string> ContinuationVolumeNames(const std::string& file_name, long count);

}  // namespace qdw::restore

#endif  // QDW_ENGINE_RESTORE_VOLUME_SET_H_
