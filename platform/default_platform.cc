#include <atomic>

#include "platform/platform.h"

namespace qdw::platform {

// Each port provides this: the platform of the build.
Platform& BuildPlatform();

namespace {
std::atomic<Platform*> g_override{nullptr};
}  // namespace

Platform& DefaultPlatform() {
  Platform* p = g_override.load();
  return p ? *p : BuildPlatform();
}

void SetDefaultPlatformForTesting(Platform* platform) { g_override.store(platform); }

}  // namespace qdw::platform
