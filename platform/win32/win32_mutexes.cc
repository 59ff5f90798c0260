// Named mutexes of the default namespace.
#include <windows.h>

#include "platform/win32/win32_handle.h"
#include "platform/win32/win32_ports.h"

namespace qdw::win32 {
namespace {

using platform::WinError;

class Win32Mutex : public platform::NamedMutex {
 public:
  explicit Win32Mutex(HANDLE handle) : handle_(handle) {}
  void Release() override { ReleaseMutex(handle_.get()); }

 private:
  ScopedHandle handle_;
};

class Win32Mutexes : public platform::Mutexes {
 public:
  WinError Create(const std::string& name, bool initial_owner,
                  std::unique_ptr<platform::NamedMutex>* out) override {
    HANDLE handle = CreateMutexA(nullptr, initial_owner ? TRUE : FALSE, name.c_str());
    if (handle == nullptr) return GetLastError();
    // Read before anything else can change the thread's last error.
    WinError result =
        GetLastError() == ERROR_ALREADY_EXISTS ? platform::kErrorAlreadyExists : platform::kSuccess;
    *out = std::make_unique<Win32Mutex>(handle);
    return result;
  }
};

}  // namespace

std::unique_ptr<platform::Mutexes> NewWin32Mutexes() { return std::make_unique<Win32Mutexes>(); }

}  // namespace qdw::win32
