#include "system/os_version.h"

namespace qdw::system {

int ClassifyOperatingSystem(platform::SystemInfo& system) {
  const platform::OsVersion version = system.Version();
  if (version.platform_id == platform::kPlatformWin32s ||
      version.platform_id == platform::kPlatformWindows) {
    return kOsClass9x;
  }
  if (version.platform_id == platform::kPlatformNt) {
    if (version.major == 3 || version.major == 4) return kOsClassNt4;
    if (version.major == 6) return kOsClassVista;
  }
  return kOsClassNt5;
}

int WindowsSevenTest(platform::SystemInfo& system) {
  const platform::OsVersion version = system.Version();
  return version.major == 6 && version.minor == 1 ? 7 : 6;
}

}  // namespace qdw::system
