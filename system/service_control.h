// Query, stop and start of one service through the service manager, and the check of the
// right to control services. These operations keep no state; failures show only in results.
#ifndef QDW_SYSTEM_SERVICE_CONTROL_H_
#define QDW_SYSTEM_SERVICE_CONTROL_H_

#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "system/wait_limits.h"

namespace qdw::system {

// Services the run stops before it touches the product's files.
inline constexpr char kIndexingService[] = "CiSvc";
inline constexpr char kSharedFolderService[] = "VNQLNSharedFolder";

class ServiceControl {
 public:
  explicit ServiceControl(platform::Platform& platform, WaitLimits limits = {})
      : platform_(platform), limits_(limits) {}

  // Clears `*has_rights` when the service manager refuses access and leaves it alone
  // otherwise. Returns true.
  bool CheckServiceRights(bool* has_rights);
  // True with `*running` clear for a service that is not installed.
  bool QueryServiceRunning(const std::string& name, bool* running);
  // Both wait until the service reaches the awaited state. A failed status query, a service
  // that falls back to stopped while starting, or the time limit ends the wait with false.
  bool StopServiceAndWait(const std::string& name);
  bool StartServiceAndWait(const std::string& name);

 private:
  bool OpenForControl(const std::string& name, std::unique_ptr<platform::ServiceDatabase>* scm,
                      std::unique_ptr<platform::Service>* service);
  bool AwaitState(platform::Service& service, uint32_t awaited);

  platform::Platform& platform_;
  WaitLimits limits_;
};

}  // namespace qdw::system

#endif  // QDW_SYSTEM_SERVICE_CONTROL_H_
