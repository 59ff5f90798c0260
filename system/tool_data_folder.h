// The tool's data folder: the common application data folder followed by
// "\VARNOLD\Quillon Deskora Backup Tool\". It holds the operation log, the failure list and
// the marker files of the process checks.
#ifndef QDW_SYSTEM_TOOL_DATA_FOLDER_H_
#define QDW_SYSTEM_TOOL_DATA_FOLDER_H_

#include <string>

#include "platform/shell.h"

namespace qdw::system {

inline constexpr char kToolDataSubfolder[] = "\\VARNOLD\\Quillon Deskora Backup Tool\\";

// The folder's path, ending with a backslash. False when the machine has no common
// application data folder.
bool ToolDataFolder(platform::Shell& shell, std::string* folder);

}  // namespace qdw::system

#endif  // QDW_SYSTEM_TOOL_DATA_FOLDER_H_
