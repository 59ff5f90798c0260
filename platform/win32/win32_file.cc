// An open file over a Win32 handle.
#include "platform/win32/win32_file.h"

#include "platform/win32/win32_convert.h"
#include "platform/win32/win32_handle.h"

namespace qdw::win32 {
namespace {

using platform::WinError;

class Win32File : public platform::File {
 public:
  explicit Win32File(HANDLE handle) : handle_(handle) {}

  WinError Read(void* buffer, uint32_t size, uint32_t* read) override {
    DWORD done = 0;
    BOOL ok = ReadFile(handle_.get(), buffer, size, &done, nullptr);
    *read = done;
    return ok ? platform::kSuccess : GetLastError();
  }

  WinError Write(const void* buffer, uint32_t size, uint32_t* written) override {
    DWORD done = 0;
    BOOL ok = WriteFile(handle_.get(), buffer, size, &done, nullptr);
    *written = done;
    if (!ok) return GetLastError();
    // A short write without an error means the drive is full.
    return done == size ? platform::kSuccess : platform::kErrorDiskFull;
  }

  WinError Seek(int64_t distance, platform::SeekOrigin origin, uint64_t* position) override {
    LARGE_INTEGER move;
    move.QuadPart = distance;
    LARGE_INTEGER now;
    if (!SetFilePointerEx(handle_.get(), move, &now, static_cast<DWORD>(origin))) {
      return GetLastError();
    }
    if (position != nullptr) *position = static_cast<uint64_t>(now.QuadPart);
    return platform::kSuccess;
  }

  WinError Size(uint64_t* size) override {
    LARGE_INTEGER value;
    if (!GetFileSizeEx(handle_.get(), &value)) return GetLastError();
    *size = static_cast<uint64_t>(value.QuadPart);
    return platform::kSuccess;
  }

  WinError Times(platform::FileTimes* times) override {
    FILETIME creation, access, write;
    if (!GetFileTime(handle_.get(), &creation, &access, &write)) return GetLastError();
    times->creation = FromFiletime(creation);
    times->last_access = FromFiletime(access);
    times->last_write = FromFiletime(write);
    return platform::kSuccess;
  }

  WinError SetTimes(const platform::FileTime* creation, const platform::FileTime* last_access,
                    const platform::FileTime* last_write) override {
    FILETIME c, a, w;
    if (creation != nullptr) c = ToFiletime(*creation);
    if (last_access != nullptr) a = ToFiletime(*last_access);
    if (last_write != nullptr) w = ToFiletime(*last_write);
    BOOL ok = SetFileTime(handle_.get(), creation ? &c : nullptr, last_access ? &a : nullptr,
                          last_write ? &w : nullptr);
    return ok ? platform::kSuccess : GetLastError();
  }

  WinError SetEnd() override {
    return SetEndOfFile(handle_.get()) ? platform::kSuccess : GetLastError();
  }

  WinError Flush() override {
    return FlushFileBuffers(handle_.get()) ? platform::kSuccess : GetLastError();
  }

 private:
  ScopedHandle handle_;
};

}  // namespace

std::unique_ptr<platform::File> WrapFileHandle(void* handle) {
  return std::make_unique<Win32File>(static_cast<HANDLE>(handle));
}

}  // namespace qdw::win32
