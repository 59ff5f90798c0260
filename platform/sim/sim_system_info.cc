// Facts about the stand-in machine: version, names, clock and time zone, locale, debugger
// output (appended to "debug.log" in the machine folder) and environment.
//
// The clock is the host's unless machine.json fixes it ("clock": {"fixed":
// "2026-12-06T09:05:00"}, UTC). With "clock": {"virtual_sleep": true} Sleep returns at once
// and moves TickCount on instead, so tests of long waits run in no time.
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

#include "platform/sim/sim_host.h"
#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_ports.h"
#include "platform/system_info.h"

namespace qdw::sim {
namespace {

using platform::FileTime;
using platform::WinError;

constexpr uint64_t kTicksPerMinute = 60 * platform::kTicksPerSecond;

// "YYYY-MM-DDTHH:MM:SS" (a trailing "Z" or fraction is ignored); false otherwise.
bool ParseClock(const std::string& text, FileTime* out) {
  platform::CalendarTime c;
  unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (std::sscanf(text.c_str(), "%4u-%2u-%2uT%2u:%2u:%2u", &year, &month, &day, &hour, &minute,
                  &second) != 6) {
    return false;
  }
  c.year = static_cast<uint16_t>(year);
  c.month = static_cast<uint16_t>(month);
  c.day = static_cast<uint16_t>(day);
  c.hour = static_cast<uint16_t>(hour);
  c.minute = static_cast<uint16_t>(minute);
  c.second = static_cast<uint16_t>(second);
  return platform::CalendarToFileTime(c, out);
}

class SimSystemInfo : public platform::SystemInfo {
 public:
  explicit SimSystemInfo(SimMachine& machine) : machine_(machine) {}

  platform::OsVersion Version() override { return machine_.Version(); }

  WinError ComputerName(std::string* name) override {
    if (WinError fault = machine_.faults().Check("SystemInfo.ComputerName")) return fault;
    *name = machine_.ComputerName();
    return platform::kSuccess;
  }

  WinError UserName(std::string* name) override {
    if (WinError fault = machine_.faults().Check("SystemInfo.UserName")) return fault;
    *name = machine_.CurrentUser().name;
    return platform::kSuccess;
  }

  FileTime Now() override {
    Json clock = machine_.Description()->value("clock", Json::object());
    FileTime fixed;
    if (clock.is_object() && ParseClock(clock.value("fixed", std::string()), &fixed)) {
      return fixed;
    }
    struct timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    return FileTimeFromUnix(now.tv_sec, now.tv_nsec);
  }

  FileTime UtcToLocal(FileTime utc) override {
    int64_t shift = static_cast<int64_t>(machine_.TimeZoneOffsetMinutes()) *
                    static_cast<int64_t>(kTicksPerMinute);
    return FileTime{static_cast<uint64_t>(static_cast<int64_t>(utc.ticks) + shift)};
  }

  FileTime LocalToUtc(FileTime local) override {
    int64_t shift = static_cast<int64_t>(machine_.TimeZoneOffsetMinutes()) *
                    static_cast<int64_t>(kTicksPerMinute);
    return FileTime{static_cast<uint64_t>(static_cast<int64_t>(local.ticks) - shift)};
  }

  uint32_t ThreadLocale() override { return machine_.Description()->value("thread_locale", 1033u); }
  uint32_t AnsiCodePage() override { return static_cast<uint32_t>(machine_.CodePage()); }

  void Sleep(uint32_t milliseconds) override {
    if (VirtualSleep()) {
      slept_ms_ += milliseconds;
      return;
    }
    struct timespec wait = {static_cast<time_t>(milliseconds / 1000),
                            static_cast<long>(milliseconds % 1000) * 1000000};
    while (::nanosleep(&wait, &wait) != 0) {
    }
  }

  uint64_t TickCount() override {
    struct timespec now;
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000 +
           slept_ms_.load();
  }

  void DebugOutput(const std::string& text) override {
    std::string path = machine_.store().HostPath("debug.log");
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;
    std::string line = text + "\n";
    ssize_t ignored = ::write(fd, line.data(), line.size());
    (void)ignored;
    ::close(fd);
  }

  bool Environment(const std::string& name, std::string* value) override {
    return machine_.EnvironmentVariable(name, value);
  }

  bool SetEnvironment(const std::string& name, const std::optional<std::string>& value) override {
    return SimMachine::SetProcessEnvironment(name, value);
  }

 private:
  bool VirtualSleep() {
    Json clock = machine_.Description()->value("clock", Json::object());
    return clock.is_object() && clock.value("virtual_sleep", false);
  }

  SimMachine& machine_;
  std::atomic<uint64_t> slept_ms_{0};
};

}  // namespace

std::unique_ptr<platform::SystemInfo> NewSimSystemInfo(SimMachine& machine) {
  return std::make_unique<SimSystemInfo>(machine);
}

}  // namespace qdw::sim
