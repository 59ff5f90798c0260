// The ports the system needs from Windows, gathered in one place. The build chooses the
// implementation: the stand-in machine on Linux (platform/sim), Win32 on Windows
// (platform/win32). Core code reaches the machine only through these interfaces.
#ifndef QDW_PLATFORM_PLATFORM_H_
#define QDW_PLATFORM_PLATFORM_H_

#include "platform/accounts.h"
#include "platform/database.h"
#include "platform/file_system.h"
#include "platform/library.h"
#include "platform/mutexes.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/shares.h"
#include "platform/shell.h"
#include "platform/system_info.h"

namespace qdw::platform {

class Platform {
 public:
  virtual ~Platform() = default;
  virtual FileSystem& files() = 0;
  virtual Registry& registry() = 0;
  virtual ServiceManager& services() = 0;
  virtual Processes& processes() = 0;
  virtual Shares& shares() = 0;
  virtual ShareProxyFactory& share_proxy() = 0;
  virtual Accounts& accounts() = 0;
  virtual Shell& shell() = 0;
  virtual SystemInfo& system() = 0;
  virtual Libraries& libraries() = 0;
  virtual Mutexes& mutexes() = 0;
  virtual Databases& databases() = 0;
};

// The process-wide platform of this build. On the stand-in machine it is the machine named
// by the environment variable QDW_MACHINE. Never destroyed.
Platform& DefaultPlatform();

// Replaces what DefaultPlatform() returns (tests); nullptr restores the build's own.
// The caller keeps ownership and keeps the object alive while it is installed.
void SetDefaultPlatformForTesting(Platform* platform);

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_PLATFORM_H_
