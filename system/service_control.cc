#include "system/service_control.h"

#include <algorithm>

namespace qdw::system {

using platform::kSuccess;

namespace {

constexpr uint32_t kServiceAccess =
    platform::kServiceQueryStatus | platform::kServiceStart | platform::kServiceStop;

}  // namespace

bool ServiceControl::CheckServiceRights(bool* has_rights) {
  std::unique_ptr<platform::ServiceDatabase> scm;
  if (platform_.services().Connect(platform::kGenericExecute, &scm) ==
      platform::kErrorAccessDenied) {
    *has_rights = false;
  }
  return true;
}

bool ServiceControl::QueryServiceRunning(const std::string& name, bool* running) {
  *running = false;
  std::unique_ptr<platform::ServiceDatabase> scm;
  if (platform_.services().Connect(platform::kGenericExecute, &scm) != kSuccess) return false;
  std::unique_ptr<platform::Service> service;
  const platform::WinError error = scm->OpenServiceByName(name, kServiceAccess, &service);
  if (error != kSuccess) return error == platform::kErrorServiceDoesNotExist;
  platform::ServiceStatus status;
  if (service->QueryStatus(&status) != kSuccess) return false;
  *running = status.current_state == platform::kServiceRunning;
  return true;
}

bool ServiceControl::StopServiceAndWait(const std::string& name) {
  std::unique_ptr<platform::ServiceDatabase> scm;
  std::unique_ptr<platform::Service> service;
  if (!OpenForControl(name, &scm, &service)) return false;
  platform::ServiceStatus status;
  if (service->Stop(&status) != kSuccess) return false;
  return AwaitState(*service, platform::kServiceStopped);
}

bool ServiceControl::StartServiceAndWait(const std::string& name) {
  std::unique_ptr<platform::ServiceDatabase> scm;
  std::unique_ptr<platform::Service> service;
  if (!OpenForControl(name, &scm, &service)) return false;
  // The command-line start of the product services may already have started it: a service
  // that runs is what the caller asked for, not a failure to report.
  const platform::WinError error = service->Start();
  if (error != kSuccess && error != platform::kErrorServiceAlreadyRunning) return false;
  return AwaitState(*service, platform::kServiceRunning);
}

bool ServiceControl::OpenForControl(const std::string& name,
                                    std::unique_ptr<platform::ServiceDatabase>* scm,
                                    std::unique_ptr<platform::Service>* service) {
  if (platform_.services().Connect(platform::kGenericExecute, scm) != kSuccess) return false;
  return (*scm)->OpenServiceByName(name, kServiceAccess, service) == kSuccess;
}

bool ServiceControl::AwaitState(platform::Service& service, uint32_t awaited) {
  platform::SystemInfo& system = platform_.system();
  const uint64_t start = system.TickCount();
  for (;;) {
    platform::ServiceStatus status;
    if (service.QueryStatus(&status) != kSuccess) return false;
    const uint64_t elapsed = system.TickCount() - start;
    const uint64_t left =
        elapsed < limits_.service_state_ms ? limits_.service_state_ms - elapsed : 0;
    // The service's own estimate of the time to its next state, never past the limit.
    if (status.wait_hint_ms > 0 && left > 0) {
      system.Sleep(static_cast<uint32_t>(std::min<uint64_t>(status.wait_hint_ms, left)));
    }
    if (status.current_state == awaited) return true;
    // A start that fell back to stopped has failed and will not get there.
    if (awaited == platform::kServiceRunning && status.current_state == platform::kServiceStopped) {
      return false;
    }
    if (system.TickCount() - start >= limits_.service_state_ms) return false;
  }
}

}  // namespace qdw::system
