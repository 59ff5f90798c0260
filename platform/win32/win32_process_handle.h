// The platform's ProcessHandle over a Win32 process handle, which it owns and closes.
#ifndef QDW_PLATFORM_WIN32_WIN32_PROCESS_HANDLE_H_
#define QDW_PLATFORM_WIN32_WIN32_PROCESS_HANDLE_H_

#include <cstdint>
#include <memory>

#include "platform/processes.h"

namespace qdw::win32 {

std::unique_ptr<platform::ProcessHandle> WrapProcessHandle(void* handle, uint32_t pid);

}  // namespace qdw::win32

#endif  // QDW_PLATFORM_WIN32_WIN32_PROCESS_HANDLE_H_
