#include "platform/platform.h"
#include "platform/testing_platform_slot.h"

namespace qdw::platform {

// Each port provides this: the platform of the build.
Platform& BuildPlatform();

Platform& DefaultPlatform() {
  Platform* p = InstalledPlatformForTesting();
  return p ? *p : BuildPlatform();
}

void SetDefaultPlatformForTesting(Platform* platform) { InstallPlatformForTesting(platform); }

}  // namespace qdw::platform
