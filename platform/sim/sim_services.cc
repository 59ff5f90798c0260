#include "platform/sim/sim_services.h"

#include <memory>

#include "platform/sim/sim_ports.h"
#include "platform/windows_path.h"

namespace qdw::sim {

using platform::EqualsIgnoreCase;
using platform::ServiceStatus;
using platform::WinError;

namespace {

const char kDocument[] = "services.json";

struct StateName {
  uint32_t state;
  const char* name;
};
const StateName kStateNames[] = {
    {platform::kServiceStopped, "stopped"},
    {platform::kServiceStartPending, "start_pending"},
    {platform::kServiceStopPending, "stop_pending"},
    {platform::kServiceRunning, "running"},
    {platform::kServiceContinuePending, "continue_pending"},
    {platform::kServicePausePending, "pause_pending"},
    {platform::kServicePaused, "paused"},
};

// The key of `name` in the services document, spelt as stored; empty when missing.
std::string FindServiceKey(const Json& services, const std::string& name) {
  if (!services.is_object()) return std::string();
  for (auto it = services.begin(); it != services.end(); ++it) {
    if (EqualsIgnoreCase(it.key(), name) && it->is_object()) return it.key();
  }
  return std::string();
}

bool IsPending(uint32_t state) {
  return state == platform::kServiceStartPending || state == platform::kServiceStopPending ||
         state == platform::kServiceContinuePending || state == platform::kServicePausePending;
}

void FillStatus(const Json& service, ServiceStatus* status) {
  status->current_state = ServiceStateFromName(service.value("state", std::string("stopped")));
  if (status->current_state == 0) status->current_state = platform::kServiceStopped;
  bool pending = IsPending(status->current_state);
  status->wait_hint_ms = pending ? service.value("wait_hint_ms", 0u) : 0;
  status->check_point = pending ? service.value("check_point", 0u) : 0;
  status->exit_code = service.value("exit_code", 0u);
}

// Sets a pending state that lasts `polls` status queries (none: the final state at once).
void BeginTransition(Json& service, uint32_t pending, uint32_t final_state, uint32_t polls) {
  service["check_point"] = 0;
  if (polls == 0 && !service.value("stuck", false)) {
    service["state"] = ServiceStateName(final_state);
    service.erase("polls_left");
    return;
  }
  service["state"] = ServiceStateName(pending);
  service["polls_left"] = polls;
}

// One status query's worth of progress of a pending service.
void Advance(Json& service) {
  uint32_t state = ServiceStateFromName(service.value("state", std::string("stopped")));
  if (!IsPending(state) || service.value("stuck", false)) return;
  uint32_t left = service.value("polls_left", 0u);
  if (left > 0) {
    service["polls_left"] = left - 1;
    service["check_point"] = service.value("check_point", 0u) + 1;
    return;
  }
  uint32_t final_state = platform::kServiceStopped;
  if (state == platform::kServiceStartPending || state == platform::kServiceContinuePending) {
    final_state = service.value("fails_to_start", false) ? platform::kServiceStopped
                                                         : platform::kServiceRunning;
  } else if (state == platform::kServicePausePending) {
    final_state = platform::kServicePaused;
  }
  service["state"] = ServiceStateName(final_state);
  service.erase("polls_left");
  service["check_point"] = 0;
}

class SimService : public platform::Service {
 public:
  SimService(SimMachine& machine, std::string name, uint32_t access)
      : machine_(machine), name_(std::move(name)), access_(access) {}

  WinError QueryStatus(ServiceStatus* status) override {
    if (WinError fault = machine_.faults().Check("Services.QueryStatus", name_)) return fault;
    if ((access_ & platform::kServiceQueryStatus) == 0) return platform::kErrorAccessDenied;
    return Change([&](Json& service) -> WinError {
      Advance(service);
      FillStatus(service, status);
      return platform::kSuccess;
    });
  }

  WinError Stop(ServiceStatus* status) override {
    if (WinError fault = machine_.faults().Check("Services.Stop", name_)) return fault;
    if ((access_ & platform::kServiceStop) == 0) return platform::kErrorAccessDenied;
    return Change([&](Json& service) -> WinError {
      FillStatus(service, status);
      uint32_t state = status->current_state;
      if (state == platform::kServiceStopped) return platform::kErrorServiceNotActive;
      if (IsPending(state)) return platform::kErrorServiceCannotAcceptCtrl;
      BeginTransition(service, platform::kServiceStopPending, platform::kServiceStopped,
                      service.value("stop_pending_polls", 0u));
      FillStatus(service, status);
      return platform::kSuccess;
    });
  }

  WinError Start() override {
    if (WinError fault = machine_.faults().Check("Services.Start", name_)) return fault;
    if ((access_ & platform::kServiceStart) == 0) return platform::kErrorAccessDenied;
    return Change([&](Json& service) -> WinError {
      if (EqualsIgnoreCase(service.value("start_type", std::string()), "disabled")) {
        return platform::kErrorServiceDisabled;
      }
      ServiceStatus status;
      FillStatus(service, &status);
      if (status.current_state != platform::kServiceStopped) {
        return platform::kErrorServiceAlreadyRunning;
      }
      uint32_t final_state = service.value("fails_to_start", false) ? platform::kServiceStopped
                                                                    : platform::kServiceRunning;
      BeginTransition(service, platform::kServiceStartPending, final_state,
                      service.value("start_pending_polls", 0u));
      return platform::kSuccess;
    });
  }

 private:
  // Runs `change` on this service's entry under the machine lock; the document is written
  // back whatever the outcome, since even a refused call may have counted a poll.
  WinError Change(const std::function<WinError(Json&)>& change) {
    WinError result = platform::kSuccess;
    machine_.store().Update(kDocument, [&](Json& services) {
      std::string key = FindServiceKey(services, name_);
      if (key.empty()) {
        result = platform::kErrorServiceDoesNotExist;
        return false;
      }
      Json before = services[key];
      result = change(services[key]);
      return services[key] != before;
    });
    return result;
  }

  SimMachine& machine_;
  std::string name_;
  uint32_t access_;
};

class SimServiceDatabase : public platform::ServiceDatabase {
 public:
  explicit SimServiceDatabase(SimMachine& machine) : machine_(machine) {}

  WinError OpenServiceByName(const std::string& name, uint32_t access,
                             std::unique_ptr<platform::Service>* out) override {
    out->reset();
    if (WinError fault = machine_.faults().Check("Services.OpenServiceByName", name)) return fault;
    Json services = machine_.store().Read(kDocument);
    std::string key = FindServiceKey(services, name);
    if (key.empty()) return platform::kErrorServiceDoesNotExist;
    const Json& service = services[key];
    uint32_t control = platform::kServiceStart | platform::kServiceStop | platform::kGenericExecute;
    if ((access & control) != 0) {
      bool allowed = machine_.CurrentUser().may_control_services;
      if (allowed && service.contains("who_may_control")) {
        allowed = CurrentUserListed(machine_, service["who_may_control"]);
      }
      if (!allowed) return platform::kErrorAccessDenied;
    }
    // GENERIC_EXECUTE on a service grants start and stop (and the rest of its control rights).
    uint32_t granted = access;
    if (access & platform::kGenericExecute) granted |= control | platform::kServiceQueryStatus;
    *out = std::make_unique<SimService>(machine_, key, granted);
    return platform::kSuccess;
  }

 private:
  SimMachine& machine_;
};

class SimServiceManager : public platform::ServiceManager {
 public:
  explicit SimServiceManager(SimMachine& machine) : machine_(machine) {}

  WinError Connect(uint32_t access, std::unique_ptr<platform::ServiceDatabase>* out) override {
    out->reset();
    if (WinError fault = machine_.faults().Check("Services.Connect")) return fault;
    // Connecting and reading are open to every user; the rest (the lock that GENERIC_EXECUTE
    // includes, creating services) needs the right to control services.
    constexpr uint32_t kOpenToAll = platform::kScManagerConnect | 0x0004 | 0x0010 | 0x80000000;
    if ((access & ~kOpenToAll) != 0 && !machine_.CurrentUser().may_control_services) {
      return platform::kErrorAccessDenied;
    }
    *out = std::make_unique<SimServiceDatabase>(machine_);
    return platform::kSuccess;
  }

 private:
  SimMachine& machine_;
};

}  // namespace

uint32_t ServiceStateFromName(const std::string& name) {
  for (const StateName& entry : kStateNames) {
    if (EqualsIgnoreCase(name, entry.name)) return entry.state;
  }
  return 0;
}

std::string ServiceStateName(uint32_t state) {
  for (const StateName& entry : kStateNames) {
    if (entry.state == state) return entry.name;
  }
  return "stopped";
}

bool CurrentUserListed(const SimMachine& machine, const Json& accounts) {
  if (!accounts.is_array()) return false;
  SimUser user = machine.CurrentUser();
  for (const Json& entry : accounts) {
    if (!entry.is_string()) continue;
    std::string name = entry.get<std::string>();
    if (EqualsIgnoreCase(name, "Everyone") || name == "S-1-1-0") return true;
    if (user.admin &&
        (EqualsIgnoreCase(name, "Administrators") ||
         EqualsIgnoreCase(name, "BUILTIN\\Administrators") || name == "S-1-5-32-544")) {
      return true;
    }
    if (EqualsIgnoreCase(name, user.name) ||
        EqualsIgnoreCase(name, user.domain + "\\" + user.name) ||
        (!user.sid.empty() && EqualsIgnoreCase(name, user.sid))) {
      return true;
    }
  }
  return false;
}

std::unique_ptr<platform::ServiceManager> NewSimServiceManager(SimMachine& machine) {
  return std::make_unique<SimServiceManager>(machine);
}

}  // namespace qdw::sim
