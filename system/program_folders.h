// The Windows folder and the program folders, the places no backup goes to and no restore
// changes.
#ifndef QDW_SYSTEM_PROGRAM_FOLDERS_H_
#define QDW_SYSTEM_PROGRAM_FOLDERS_H_

#include <string>
#include <vector>

#include "platform/shell.h"

namespace qdw::system {

// The Windows folder; empty when unknown.
std::string WindowsFolder(platform::Shell& shell);

// The expansion of "%ProgramFiles%", and on a 64-bit machine those of "%ProgramW6432%" and
// "%ProgramFiles(x86)%" (a 32-bit program's "%ProgramFiles%" names the x86 folder only), so
// both views of the program folders. Variables the machine does not have give nothing.
std::vector<std::string> ProgramFolders(platform::Shell& shell);

}  // namespace qdw::system

#endif  // QDW_SYSTEM_PROGRAM_FOLDERS_H_
