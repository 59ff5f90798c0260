#include "system/program_folders.h"

namespace qdw::system {

std::string WindowsFolder(platform::Shell& shell) {
  std::string folder;
  return shell.WindowsFolder(&folder) == platform::kSuccess ? folder : "";
}

std::vector<std::string> ProgramFolders(platform::Shell& shell) {
  std::vector<std::string> folders;
  for (const char* variable : {"%ProgramFiles%", "%ProgramW6432%", "%ProgramFiles(x86)%"}) {
    // An unknown variable stays as written.
    const std::string folder = shell.ExpandEnvironment(variable);
    if (!folder.empty() && folder != variable) folders.push_back(folder);
  }
  return folders;
}

}  // namespace qdw::system
