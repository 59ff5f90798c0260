// Whether the product's main program or its share program runs, found by walking the process
// list and leaving small marker files in the tool's data folder. Nothing here ends a process;
// the callers refuse to go on instead.
#ifndef QDW_SYSTEM_PROGRAM_CHECKS_H_
#define QDW_SYSTEM_PROGRAM_CHECKS_H_

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace qdw::system {

// Marker files in the tool's data folder.
inline constexpr char kMainProgramMarker[] = "BackupEnumProcess.txt";
inline constexpr char kShareProgramMarker[] = "BackupShareEnumProcess.txt";
inline constexpr char kSharedFolderProgramMarker[] = "BackupVNShareProcess.txt";

// Upper-case parts of the program names that are looked for.
inline constexpr char kMainProgramName[] = "QDW.EXE";
inline constexpr char kShareProgramName[] = "QDWSHARE.EXE";
inline constexpr char kSharedFolderProgramName[] = "VNQLNSHAREDFOLDER.EXE";

class ProgramChecks {
 public:
  explicit ProgramChecks(platform::Platform& platform) : platform_(platform) {}

  // False when the check could not be made (for example a marker file that cannot be written
  // or an old one that cannot be removed); `running` is then false as well.
  bool CheckMainProgram(bool* running);
  bool CheckShareProgram(bool* running);

 private:
  // Writes the markers for one process of the walk. False when a marker could not be
  // written.
  bool MarkProcess(const std::string& folder, uint32_t pid, const std::string& name);
  bool CheckByMarker(const std::string& marker, bool* running);
  bool WriteMarker(const std::string& path, const std::string& content);
  // True when nothing is left at `path`.
  bool RemoveMarker(const std::string& path);

  platform::Platform& platform_;
};

}  // namespace qdw::system

#endif  // QDW_SYSTEM_PROGRAM_CHECKS_H_
