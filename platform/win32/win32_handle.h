// A kernel handle closed when it goes out of scope. Only for the port's own sources: it
// needs <windows.h>.
#ifndef QDW_PLATFORM_WIN32_WIN32_HANDLE_H_
#define QDW_PLATFORM_WIN32_WIN32_HANDLE_H_

#include <windows.h>

namespace qdw::win32 {

class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle = nullptr) : handle_(handle) {}
  ~ScopedHandle() { Reset(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  void Reset(HANDLE handle = nullptr) {
    if (valid()) CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_;
};

}  // namespace qdw::win32

#endif  // QDW_PLATFORM_WIN32_WIN32_HANDLE_H_
