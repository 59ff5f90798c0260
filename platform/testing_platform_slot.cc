#include "platform/testing_platform_slot.h"

#include <atomic>

namespace qdw::platform {

namespace {
std::atomic<Platform*> g_installed{nullptr};
}  // namespace

Platform* InstalledPlatformForTesting() { return g_installed.load(); }

void InstallPlatformForTesting(Platform* platform) { g_installed.store(platform); }

}  // namespace qdw::platform
