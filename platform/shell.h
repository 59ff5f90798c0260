// The shell and the system folders: special folders, the Windows and system folders,
// environment expansion, carrying out the "open" verb, and making folder paths.
#ifndef QDW_PLATFORM_SHELL_H_
#define QDW_PLATFORM_SHELL_H_

#include <cstdint>
#include <memory>
#include <string>

#include "platform/processes.h"
#include "platform/win_error.h"

namespace qdw::platform {

// Special folder codes (CSIDL values).
inline constexpr int kCsidlDesktop = 0x0000;
inline constexpr int kCsidlPersonal = 0x0005;
inline constexpr int kCsidlCommonAppData = 0x0023;
inline constexpr int kCsidlProgramFiles = 0x0026;

// Show commands.
inline constexpr int kShowHide = 0;
inline constexpr int kShowNormal = 1;
inline constexpr int kShowMaximized = 3;

class Shell {
 public:
  virtual ~Shell() = default;
  // The folder's path without a trailing backslash; kErrorFileNotFound when the machine has
  // no such folder.
  virtual WinError SpecialFolder(int csidl, std::string* path) = 0;
  virtual WinError WindowsFolder(std::string* path) = 0;
  virtual WinError SystemFolder(std::string* path) = 0;
  // Replaces %NAME% by the variable's value (unknown names stay as written).
  virtual std::string ExpandEnvironment(const std::string& text) = 0;
  // ShellExecuteEx of `verb` on `file` with `parameters`. When `process` is not null and a
  // process was started, its handle is handed back. kErrorFileNotFound when the file is
  // missing or no program is associated with it.
  virtual WinError Execute(const std::string& verb, const std::string& file,
                           const std::string& parameters, int show,
                           std::unique_ptr<ProcessHandle>* process) = 0;
  // MakeSureDirectoryPathExists: creates every missing folder of the path up to its last
  // backslash. False on failure.
  virtual bool MakeSureDirectoryPathExists(const std::string& path) = 0;
};

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_SHELL_H_
