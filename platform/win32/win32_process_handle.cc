#include "platform/win32/win32_process_handle.h"

#include "platform/win32/win32_handle.h"

namespace qdw::win32 {
namespace {

class Win32ProcessHandle : public platform::ProcessHandle {
 public:
  Win32ProcessHandle(HANDLE handle, uint32_t pid) : handle_(handle), pid_(pid) {}

  uint32_t Wait(uint32_t timeout_ms) override {
    return WaitForSingleObject(handle_.get(), timeout_ms);
  }

  platform::WinError ExitCode(uint32_t* code) override {
    DWORD value = 0;
    if (!GetExitCodeProcess(handle_.get(), &value)) return GetLastError();
    *code = value;
    return platform::kSuccess;
  }

  uint32_t Pid() const override { return pid_; }

 private:
  ScopedHandle handle_;
  uint32_t pid_;
};

}  // namespace

std::unique_ptr<platform::ProcessHandle> WrapProcessHandle(void* handle, uint32_t pid) {
  return std::make_unique<Win32ProcessHandle>(static_cast<HANDLE>(handle), pid);
}

}  // namespace qdw::win32
