// The machine as a run sees it: the registry, the shares and the product's share service
// record in the run journal, before each change, how to undo it (the old value, the removed
// key with its values, the removed share's information), so the share and settings steps of a
// restore are journaled whatever they call. Everything else passes straight through.
//
// A change whose record cannot be made durable is not made: it fails with kJournalNotWritten.
#ifndef QDW_ENGINE_JOURNAL_JOURNALING_PLATFORM_H_
#define QDW_ENGINE_JOURNAL_JOURNALING_PLATFORM_H_

#include <memory>

#include "engine/journal/run_journal.h"
#include "platform/platform.h"

namespace qdw::journal {

// The error of a change refused because its journal record could not be written.
inline constexpr platform::WinError kJournalNotWritten = platform::kErrorWriteFault;

class JournalingPlatform : public platform::Platform {
 public:
  JournalingPlatform(platform::Platform& machine, RunJournal& journal);
  ~JournalingPlatform() override;

  platform::FileSystem& files() override { return machine_.files(); }
  platform::Registry& registry() override;
  platform::ServiceManager& services() override { return machine_.services(); }
  platform::Processes& processes() override { return machine_.processes(); }
  platform::Shares& shares() override;
  platform::ShareProxyFactory& share_proxy() override;
  platform::Accounts& accounts() override { return machine_.accounts(); }
  platform::Shell& shell() override { return machine_.shell(); }
  platform::SystemInfo& system() override { return machine_.system(); }
  platform::Libraries& libraries() override { return machine_.libraries(); }
  platform::Mutexes& mutexes() override { return machine_.mutexes(); }
  platform::Databases& databases() override { return machine_.databases(); }

 private:
  platform::Platform& machine_;
  std::unique_ptr<platform::Registry> registry_;
  std::unique_ptr<platform::Shares> shares_;
  std::unique_ptr<platform::ShareProxyFactory> share_proxy_;
};

// The parts, for JournalingPlatform and tests.
std::unique_ptr<platform::Registry> NewJournalingRegistry(platform::Registry& registry,
                                                          RunJournal& journal);
std::unique_ptr<platform::Shares> NewJournalingShares(platform::Shares& shares,
                                                      RunJournal& journal);
std::unique_ptr<platform::ShareProxyFactory> NewJournalingShareProxy(
    platform::ShareProxyFactory& proxy, platform::Shares& shares, RunJournal& journal);

}  // namespace qdw::journal

#endif  // QDW_ENGINE_JOURNAL_JOURNALING_PLATFORM_H_
