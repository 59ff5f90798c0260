// Whether something is at a path, over the FileSystem port: the one place every layer asks.
#ifndef QDW_PLATFORM_FILE_CHECKS_H_
#define QDW_PLATFORM_FILE_CHECKS_H_

#include <string>

#include "platform/file_system.h"
#include "platform/windows_path.h"

namespace qdw::platform {

// True when something (file or folder) is at `path`.
bool PathExists(FileSystem& files, const std::string& path);
// True when a folder is at `path`.
bool FolderExists(FileSystem& files, const std::string& path);
// True when a file (not a folder) is at `path`.
bool FileExists(FileSystem& files, const std::string& path);

// True when `folder`, as a caller writes a destination, names an existing folder: with or
// without a trailing "\", and a bare drive ("D:") meaning its root.
bool FolderExistsAsWritten(FileSystem& files, const std::string& folder);

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_FILE_CHECKS_H_
