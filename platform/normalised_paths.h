// Paths compared as the system resolves them (FileSystem::FullPath: GetFullPathName, then
// GetLongPathName), so that "x\..\VARNOLD", "VARNOLD." or a short name cannot pass a check
// that the same folder written plainly would fail.
#ifndef QDW_PLATFORM_NORMALISED_PATHS_H_
#define QDW_PLATFORM_NORMALISED_PATHS_H_

#include <string>

#include "platform/file_system.h"

namespace qdw::platform {

// `path` as the system resolves it, without a trailing "\" unless it is a root ("C:\"); a
// bare drive ("D:") stands for its root. False when the system refuses the path (relative,
// drive-relative, a device path, or too long).
bool NormalisedPath(FileSystem& files, const std::string& path, std::string* full);

// True when `path` is `folder` or lies inside it, as whole components, ignoring case: as
// written, or once both are normalised. A `path` the system refuses counts as inside, so that
// a check built on this never lets it through; an empty `folder` holds nothing.
bool LiesInside(FileSystem& files, const std::string& path, const std::string& folder);

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_NORMALISED_PATHS_H_
