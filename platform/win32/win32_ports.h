// The Win32 ports, one maker per interface. This header stays free of <windows.h>, so only
// the port's own sources see the system headers.
#ifndef QDW_PLATFORM_WIN32_WIN32_PORTS_H_
#define QDW_PLATFORM_WIN32_WIN32_PORTS_H_

#include <memory>

#include "platform/platform.h"

namespace qdw::win32 {

std::unique_ptr<platform::FileSystem> NewWin32FileSystem();
std::unique_ptr<platform::Registry> NewWin32Registry();
std::unique_ptr<platform::ServiceManager> NewWin32ServiceManager();
std::unique_ptr<platform::Processes> NewWin32Processes();
std::unique_ptr<platform::Shares> NewWin32Shares();
std::unique_ptr<platform::ShareProxyFactory> NewWin32ShareProxyFactory();
std::unique_ptr<platform::Accounts> NewWin32Accounts();
std::unique_ptr<platform::Shell> NewWin32Shell();
std::unique_ptr<platform::SystemInfo> NewWin32SystemInfo();
std::unique_ptr<platform::Libraries> NewWin32Libraries();
std::unique_ptr<platform::Mutexes> NewWin32Mutexes();
std::unique_ptr<platform::Databases> NewWin32Databases();

}  // namespace qdw::win32

#endif  // QDW_PLATFORM_WIN32_WIN32_PORTS_H_
