// The platform's File over an open Win32 file handle, which it owns and closes.
#ifndef QDW_PLATFORM_WIN32_WIN32_FILE_H_
#define QDW_PLATFORM_WIN32_WIN32_FILE_H_

#include <memory>

#include "platform/file_system.h"

namespace qdw::win32 {

std::unique_ptr<platform::File> WrapFileHandle(void* handle);

}  // namespace qdw::win32

#endif  // QDW_PLATFORM_WIN32_WIN32_FILE_H_
