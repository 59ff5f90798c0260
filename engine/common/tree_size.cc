#include "engine/common/tree_size.h"

#include <vector>

#include "engine/common/folder_listing.h"
#include "platform/windows_path.h"

namespace qdw::engine {

uint64_t TreeBytes(platform::FileSystem& files, const std::string& folder) {
  std::vector<platform::DirEntry> entries;
  if (!ListFolder(files, folder, &entries)) return 0;
  uint64_t bytes = 0;
  for (const platform::DirEntry& entry : entries) {
    if (!IsFolder(entry)) {
      bytes += entry.size;
    } else if ((entry.attributes & platform::kAttrReparsePoint) == 0) {
      bytes += TreeBytes(files, platform::JoinPath(folder, entry.name));
    }
  }
  return bytes;
}

}  // namespace qdw::engine
