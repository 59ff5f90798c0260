// Facts about the running Windows system.
#include <windows.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/win32_convert.h"
#include "platform/win32/win32_ports.h"

namespace qdw::win32 {
namespace {

constexpr uint64_t kTicksPerMillisecond = 10000;

// The calendar holds milliseconds only; the finer ticks of `from` are carried over, so a
// conversion there and back gives the time it started from.
platform::FileTime KeepSubMillisecond(platform::FileTime from, platform::FileTime converted) {
  return platform::FileTime{converted.ticks + from.ticks % kTicksPerMillisecond};
}

using platform::WinError;

class Win32SystemInfo : public platform::SystemInfo {
 public:
  platform::OsVersion Version() override {
    // RtlGetVersion reports the real version; GetVersionEx is capped by the manifest.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    platform::OsVersion out;
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    auto get = ntdll ? reinterpret_cast<RtlGetVersionFn>(
                           reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                     : nullptr;
    if (get != nullptr && get(&info) == 0) {
      out.platform_id = info.dwPlatformId;
      out.major = info.dwMajorVersion;
      out.minor = info.dwMinorVersion;
      out.build = info.dwBuildNumber;
    }
    return out;
  }

  WinError ComputerName(std::string* name) override {
    char buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof(buffer);
    if (!GetComputerNameA(buffer, &size)) return GetLastError();
    *name = buffer;
    return platform::kSuccess;
  }

  WinError UserName(std::string* name) override {
    char buffer[257] = {};  // UNLEN + 1
    DWORD size = sizeof(buffer);
    if (!GetUserNameA(buffer, &size)) return GetLastError();
    *name = buffer;
    return platform::kSuccess;
  }

  platform::FileTime Now() override {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return FromFiletime(now);
  }

  platform::FileTime UtcToLocal(platform::FileTime utc) override {
    FILETIME in = ToFiletime(utc);
    SYSTEMTIME utc_calendar, local_calendar;
    FILETIME out;
    // Through the calendar, so the rule of the date itself (summer time) applies.
    if (!FileTimeToSystemTime(&in, &utc_calendar) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utc_calendar, &local_calendar) ||
        !SystemTimeToFileTime(&local_calendar, &out)) {
      return utc;
    }
    return KeepSubMillisecond(utc, FromFiletime(out));
  }

  platform::FileTime LocalToUtc(platform::FileTime local) override {
    FILETIME in = ToFiletime(local);
    SYSTEMTIME local_calendar, utc_calendar;
    FILETIME out;
    if (!FileTimeToSystemTime(&in, &local_calendar) ||
        !TzSpecificLocalTimeToSystemTime(nullptr, &local_calendar, &utc_calendar) ||
        !SystemTimeToFileTime(&utc_calendar, &out)) {
      return local;
    }
    return KeepSubMillisecond(local, FromFiletime(out));
  }

  uint32_t ThreadLocale() override { return GetThreadLocale(); }
  uint32_t AnsiCodePage() override { return GetACP(); }
  void Sleep(uint32_t milliseconds) override { ::Sleep(milliseconds); }
  uint64_t TickCount() override { return GetTickCount64(); }
  void DebugOutput(const std::string& text) override { OutputDebugStringA(text.c_str()); }

  bool Environment(const std::string& name, std::string* value) override {
    DWORD size = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
    if (size == 0) return false;
    std::vector<char> buffer(size);
    DWORD length = GetEnvironmentVariableA(name.c_str(), buffer.data(), size);
    if (length >= size) return false;  // changed meanwhile
    value->assign(buffer.data(), length);
    return true;
  }

  bool SetEnvironment(const std::string& name, const std::optional<std::string>& value) override {
    if (!SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : nullptr)) return false;
    // _tempnam and getenv read the runtime library's own copy of the environment ("NAME="
    // removes the variable there).
    return _putenv((name + "=" + value.value_or("")).c_str()) == 0;
  }
};

}  // namespace

std::unique_ptr<platform::SystemInfo> NewWin32SystemInfo() {
  return std::make_unique<Win32SystemInfo>();
}

}  // namespace qdw::win32
