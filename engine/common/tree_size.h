// The size of a folder tree, measured before a copy so that its progress can be shown. One
// listing per folder and nothing per file: the sizes come with the listing.
#ifndef QDW_ENGINE_COMMON_TREE_SIZE_H_
#define QDW_ENGINE_COMMON_TREE_SIZE_H_

#include <cstdint>
#include <string>

#include "platform/file_system.h"

namespace qdw::engine {

// The bytes of every file below `folder`; folders that cannot be listed count as empty, and
// junctions are not followed (what they reach is not part of the tree).
uint64_t TreeBytes(platform::FileSystem& files, const std::string& folder);

}  // namespace qdw::engine

#endif  // QDW_ENGINE_COMMON_TREE_SIZE_H_
