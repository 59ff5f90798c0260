// The Service Control Manager.
#include <windows.h>

#include "platform/win32/win32_ports.h"

namespace qdw::win32 {
namespace {

using platform::WinError;

class ScopedServiceHandle {
 public:
  explicit ScopedServiceHandle(SC_HANDLE handle) : handle_(handle) {}
  ~ScopedServiceHandle() { CloseServiceHandle(handle_); }
  ScopedServiceHandle(const ScopedServiceHandle&) = delete;
  ScopedServiceHandle& operator=(const ScopedServiceHandle&) = delete;
  SC_HANDLE get() const { return handle_; }

 private:
  SC_HANDLE handle_;
};

void CopyStatus(const SERVICE_STATUS& in, platform::ServiceStatus* out) {
  if (out == nullptr) return;
  out->current_state = in.dwCurrentState;
  out->wait_hint_ms = in.dwWaitHint;
  out->check_point = in.dwCheckPoint;
  out->exit_code = in.dwWin32ExitCode;
}

class Win32Service : public platform::Service {
 public:
  explicit Win32Service(SC_HANDLE handle) : handle_(handle) {}

  WinError QueryStatus(platform::ServiceStatus* status) override {
    SERVICE_STATUS raw = {};
    if (!QueryServiceStatus(handle_.get(), &raw)) return GetLastError();
    CopyStatus(raw, status);
    return platform::kSuccess;
  }

  WinError Stop(platform::ServiceStatus* status) override {
    SERVICE_STATUS raw = {};
    if (!ControlService(handle_.get(), SERVICE_CONTROL_STOP, &raw)) return GetLastError();
    CopyStatus(raw, status);
    return platform::kSuccess;
  }

  WinError Start() override {
    return StartServiceA(handle_.get(), 0, nullptr) ? platform::kSuccess : GetLastError();
  }

 private:
  ScopedServiceHandle handle_;
};

class Win32ServiceDatabase : public platform::ServiceDatabase {
 public:
  explicit Win32ServiceDatabase(SC_HANDLE handle) : handle_(handle) {}

  WinError OpenServiceByName(const std::string& name, uint32_t access,
                             std::unique_ptr<platform::Service>* out) override {
    SC_HANDLE service = ::OpenServiceA(handle_.get(), name.c_str(), access);
    if (service == nullptr) return GetLastError();
    *out = std::make_unique<Win32Service>(service);
    return platform::kSuccess;
  }

 private:
  ScopedServiceHandle handle_;
};

class Win32ServiceManager : public platform::ServiceManager {
 public:
  WinError Connect(uint32_t access, std::unique_ptr<platform::ServiceDatabase>* out) override {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, access);
    if (manager == nullptr) return GetLastError();
    *out = std::make_unique<Win32ServiceDatabase>(manager);
    return platform::kSuccess;
  }
};

}  // namespace

std::unique_ptr<platform::ServiceManager> NewWin32ServiceManager() {
  return std::make_unique<Win32ServiceManager>();
}

}  // namespace qdw::win32
