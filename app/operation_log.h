// The operation log "BackupLog.txt" (one line per finished run) and the failure list
// "BackupFailureLog.txt" of the last backup, both in the tool's data folder.
#ifndef QDW_APP_OPERATION_LOG_H_
#define QDW_APP_OPERATION_LOG_H_

#include <string>
#include <vector>

#include "platform/platform.h"

namespace qdw::app {

// "<common application data>\VARNOLD\Quillon Deskora Backup Tool\", or empty when the machine
// has no common application data folder.
std::string ToolDataFolder(platform::Shell& shell);

class OperationLog {
 public:
  explicit OperationLog(platform::Platform& platform);

  std::string LogPath() const;
  std::string FailureListPath() const;

  // The lines in file order (a line ends at a line feed; a carriage return before it is
  // dropped). False, with no lines, when the log cannot be opened or read.
  bool Read(std::vector<std::string>* lines) const;
  // Replaces the log with these lines, each followed by a line feed: they are written to a
  // file beside it that takes the log's place once complete. False on any failure, and the
  // log is then as it was.
  bool Write(const std::vector<std::string>& lines) const;
  // Appends the line of a finished run, stamped with the local time. The lines already there
  // are never rewritten, so a log that cannot be read is never cut short.
  void Add(int mode, bool success, const std::string& archive_path) const;
  // Asks the shell to open the failure list, maximised, without waiting. False when missing.
  bool OpenFailureList() const;

 private:
  platform::Platform& platform_;
  std::string folder_;
};

}  // namespace qdw::app

#endif  // QDW_APP_OPERATION_LOG_H_
