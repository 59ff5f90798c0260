#include "app/operation_log.h"

#include <algorithm>
#include <memory>

#include "app/log_line.h"
#include "platform/file_checks.h"
#include "platform/windows_path.h"

namespace qdw::app {

namespace {

constexpr char kLogName[] = "BackupLog.txt";
// The rewritten log is written here first and replaces the log only once complete; a copy a
// killed run left behind is never read and is overwritten by the next rewrite.
constexpr char kLogRewriteName[] = "BackupLog.txt.new";
constexpr char kFailureListName[] = "BackupFailureLog.txt";
constexpr uint32_t kReadBufferSize = 4096;

// Writes in pieces of the reader's buffer size, as a buffered writer would.
bool WriteAll(platform::File& file, const std::string& text) {
  for (size_t at = 0; at < text.size(); at += kReadBufferSize) {
    const uint32_t size =
        static_cast<uint32_t>(std::min<size_t>(kReadBufferSize, text.size() - at));
    uint32_t written = 0;
    if (file.Write(text.data() + at, size, &written) != platform::kSuccess || written != size) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string ToolDataFolder(platform::Shell& shell) {
  std::string common;
  if (shell.SpecialFolder(platform::kCsidlCommonAppData, &common) != platform::kSuccess ||
      common.empty()) {
    return "";
  }
  return platform::JoinPath(common, "VARNOLD\\Quillon Deskora Backup Tool\\");
}

OperationLog::OperationLog(platform::Platform& platform)
    : platform_(platform), folder_(ToolDataFolder(platform.shell())) {}

std::string OperationLog::LogPath() const { return folder_.empty() ? "" : folder_ + kLogName; }

std::string OperationLog::FailureListPath() const {
  return folder_.empty() ? "" : folder_ + kFailureListName;
}

bool OperationLog::Read(std::vector<std::string>* lines) const {
  lines->clear();
  std::unique_ptr<platform::File> file;
  if (folder_.empty() ||
      platform_.files().Open(LogPath(), platform::kGenericRead, platform::kShareRead,
                             platform::Disposition::kOpenExisting, platform::kFlagSequentialScan,
                             &file) != platform::kSuccess) {
    return false;
  }
  std::vector<std::string> read;
  std::string line;
  bool pending = false;
  char buffer[kReadBufferSize];
  for (;;) {
    uint32_t got = 0;
    if (file->Read(buffer, kReadBufferSize, &got) != platform::kSuccess) return false;
    if (got == 0) break;
    for (uint32_t i = 0; i < got; ++i) {
      if (buffer[i] != '\n') {
        line += buffer[i];
        pending = true;
        continue;
      }
      if (!line.empty() && line.back() == '\r') line.pop_back();
      read.push_back(line);
      line.clear();
      pending = false;
    }
  }
  if (pending) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    read.push_back(line);
  }
  *lines = std::move(read);
  return true;
}

bool OperationLog::Write(const std::vector<std::string>& lines) const {
  if (folder_.empty()) return false;
  platform::FileSystem& files = platform_.files();
  const std::string rewrite = folder_ + kLogRewriteName;
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  bool complete = false;
  {
    std::unique_ptr<platform::File> file;
    if (files.Open(rewrite, platform::kGenericWrite, platform::kShareNone,
                   platform::Disposition::kCreateAlways, platform::kAttrNormal,
                   &file) != platform::kSuccess) {
      return false;
    }
    complete = WriteAll(*file, text) && file->Flush() == platform::kSuccess;
  }
  // The log itself changes in one step, and only to a complete file: a write that fails on the
  // way (a full disk, a failing drive) keeps every line it had.
  if (complete && files.Replace(rewrite, LogPath()) == platform::kSuccess) return true;
  files.Delete(rewrite);
  return false;
}

void OperationLog::Add(int mode, bool success, const std::string& archive_path) const {
  platform::SystemInfo& system = platform_.system();
  const platform::CalendarTime now = platform::FileTimeToCalendar(system.UtcToLocal(system.Now()));
  const std::string line = FormatLogLine(mode, success, archive_path, now);
  std::unique_ptr<platform::File> file;
  if (folder_.empty() ||
      platform_.files().Open(LogPath(), platform::kGenericRead | platform::kGenericWrite,
                             platform::kShareNone, platform::Disposition::kOpenAlways,
                             platform::kAttrNormal, &file) != platform::kSuccess) {
    return;
  }
  uint64_t size = 0;
  if (file->Seek(0, platform::SeekOrigin::kEnd, &size) != platform::kSuccess) return;
  std::string text = line + "\n";
  if (size > 0) {
    // A last line without its line feed (a hand-edited log) must not swallow the new one.
    char last = '\n';
    uint32_t got = 0;
    uint64_t position = 0;
    if (file->Seek(-1, platform::SeekOrigin::kEnd, &position) != platform::kSuccess ||
        file->Read(&last, 1, &got) != platform::kSuccess || got != 1) {
      return;
    }
    if (last != '\n') text = "\n" + text;
  }
  WriteAll(*file, text);
}

bool OperationLog::OpenFailureList() const {
  const std::string path = FailureListPath();
  if (path.empty() || !platform::FileExists(platform_.files(), path)) return false;
  platform_.shell().Execute("open", path, "", platform::kShowMaximized, nullptr);
  return true;
}

}  // namespace qdw::app
