#include "engine/journal/journaling_platform.h"

namespace qdw::journal {

JournalingPlatform::JournalingPlatform(platform::Platform& machine, RunJournal& journal)
    : machine_(machine),
      registry_(NewJournalingRegistry(machine.registry(), journal)),
      shares_(NewJournalingShares(machine.shares(), journal)),
      share_proxy_(NewJournalingShareProxy(machine.share_proxy(), machine.shares(), journal)) {}

JournalingPlatform::~JournalingPlatform() = default;

platform::Registry& JournalingPlatform::registry() { return *registry_; }
platform::Shares& JournalingPlatform::shares() { return *shares_; }
platform::ShareProxyFactory& JournalingPlatform::share_proxy() { return *share_proxy_; }

}  // namespace qdw::journal
