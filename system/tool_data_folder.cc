#include "system/tool_data_folder.h"

#include "platform/windows_path.h"

namespace qdw::system {

bool ToolDataFolder(platform::Shell& shell, std::string* folder) {
  std::string common;
  if (shell.SpecialFolder(platform::kCsidlCommonAppData, &common) != platform::kSuccess) {
    return false;
  }
  *folder = platform::StripTrailingSeparator(common) + kToolDataSubfolder;
  return true;
}

}  // namespace qdw::system
