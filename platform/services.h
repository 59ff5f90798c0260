// The Service Control Manager: open it, open a service, query, stop and start.
#ifndef QDW_PLATFORM_SERVICES_H_
#define QDW_PLATFORM_SERVICES_H_

#include <cstdint>
#include <memory>
#include <string>

#include "platform/win_error.h"

namespace qdw::platform {

// Service states (the Win32 SERVICE_* values).
inline constexpr uint32_t kServiceStopped = 1;
inline constexpr uint32_t kServiceStartPending = 2;
inline constexpr uint32_t kServiceStopPending = 3;
inline constexpr uint32_t kServiceRunning = 4;
inline constexpr uint32_t kServiceContinuePending = 5;
inline constexpr uint32_t kServicePausePending = 6;
inline constexpr uint32_t kServicePaused = 7;

// Access rights.
inline constexpr uint32_t kScManagerConnect = 0x0001;
inline constexpr uint32_t kGenericExecute = 0x20000000;
inline constexpr uint32_t kServiceQueryStatus = 0x0004;
inline constexpr uint32_t kServiceStart = 0x0010;
inline constexpr uint32_t kServiceStop = 0x0020;

struct ServiceStatus {
  uint32_t current_state = kServiceStopped;
  uint32_t wait_hint_ms = 0;
  uint32_t check_point = 0;
  uint32_t exit_code = 0;
};

// An open service; closed when destroyed.
class Service {
 public:
  virtual ~Service() = default;
  virtual WinError QueryStatus(ServiceStatus* status) = 0;
  // Sends the stop control. kErrorServiceNotActive when it is not running.
  virtual WinError Stop(ServiceStatus* status) = 0;
  // Starts it without arguments. kErrorServiceAlreadyRunning when it runs.
  virtual WinError Start() = 0;
};

// An open connection to the service manager; closed when destroyed.
class ServiceDatabase {
 public:
  virtual ~ServiceDatabase() = default;
  // kErrorServiceDoesNotExist (1060) when no such service is installed; kErrorAccessDenied
  // when the caller may not control it.
  virtual WinError OpenServiceByName(const std::string& name, uint32_t access,
                                     std::unique_ptr<Service>* out) = 0;
};

class ServiceManager {
 public:
  virtual ~ServiceManager() = default;
  // Opens the manager on the local machine's active database. kErrorAccessDenied for a user
  // without the right to control services.
  virtual WinError Connect(uint32_t access, std::unique_ptr<ServiceDatabase>* out) = 0;
};

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_SERVICES_H_
