// Facts about the running system: version, names, clock and time zone, locale, and the
// small services (sleep, debugger output) the program uses.
#ifndef QDW_PLATFORM_SYSTEM_INFO_H_
#define QDW_PLATFORM_SYSTEM_INFO_H_

#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_time.h"
#include "platform/win_error.h"

namespace qdw::platform {

// Platform ids of the version information.
inline constexpr uint32_t kPlatformWin32s = 0;
inline constexpr uint32_t kPlatformWindows = 1;  // the 9x family
inline constexpr uint32_t kPlatformNt = 2;

struct OsVersion {
  uint32_t platform_id = kPlatformNt;
  uint32_t major = 6;
  uint32_t minor = 1;
  uint32_t build = 7601;
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  virtual OsVersion Version() = 0;
  virtual WinError ComputerName(std::string* name) = 0;
  // GetUserName: the user of the calling thread.
  virtual WinError UserName(std::string* name) = 0;
  // The current time, UTC.
  virtual FileTime Now() = 0;
  // Conversions between UTC and the machine's local time zone.
  virtual FileTime UtcToLocal(FileTime utc) = 0;
  virtual FileTime LocalToUtc(FileTime local) = 0;
  // Locale id of the calling thread (1033 = English, United States).
  virtual uint32_t ThreadLocale() = 0;
  // GetACP: the system's ANSI code page, which the program's texts and paths are in (1252 for
  // Western European, 932 for Japanese); see platform/code_page_text.h.
  virtual uint32_t AnsiCodePage() = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;
  // Milliseconds since an arbitrary start, for limits on waits.
  virtual uint64_t TickCount() = 0;
  // OutputDebugString.
  virtual void DebugOutput(const std::string& text) = 0;
  // An environment variable of the process; false when it is not set.
  virtual bool Environment(const std::string& name, std::string* value) = 0;
  // Sets an environment variable of the process (SetEnvironmentVariable, and the runtime
  // library's copy that _tempnam reads), or removes it when `value` is empty; programs the
  // process starts afterwards inherit it. False when the system refuses.
  virtual bool SetEnvironment(const std::string& name, const std::optional<std::string>& value) = 0;
};

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_SYSTEM_INFO_H_
