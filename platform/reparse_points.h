// Junctions, directory symbolic links and mount points: listed as folders with
// FILE_ATTRIBUTE_REPARSE_POINT, while a path through one reaches another folder, which may be any
// folder of the machine. Tree walks treat them as entries of their own and never enter them, so a
// copy, a removal or a rights change of a tree never reaches a folder outside it.
#ifndef QDW_PLATFORM_REPARSE_POINTS_H_
#define QDW_PLATFORM_REPARSE_POINTS_H_

#include <cstdint>

#include "platform/file_system.h"

namespace qdw::platform {

inline bool IsReparsePoint(uint32_t attributes) { return (attributes & kAttrReparsePoint) != 0; }
inline bool IsReparsePoint(const DirEntry& entry) { return IsReparsePoint(entry.attributes); }

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_REPARSE_POINTS_H_
