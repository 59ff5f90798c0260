// The product's outside program `Haltwerk`, which stops the product's services for a user
// who may not control them. It lies beside the machine-wide repository folder when that is
// known, and is otherwise found through the normal search.
#ifndef QDW_SYSTEM_HALTWERK_H_
#define QDW_SYSTEM_HALTWERK_H_

#include <string>

#include "platform/platform.h"
#include "system/command_line_services.h"
#include "system/wait_cursor.h"
#include "system/wait_limits.h"

namespace qdw::system {

inline constexpr char kHaltwerkProgram[] = "Haltwerk.exe";

class Haltwerk {
 public:
  // `cursor` may be null.
  Haltwerk(platform::Platform& platform, WaitCursor* cursor, WaitLimits limits = {})
      : platform_(platform), cursor_(cursor), limits_(limits) {}

  // The machine-wide repository path without its last six characters, then "Haltwerk.exe";
  // the bare name when that path cannot be read.
  std::string ProgramPath();
  // Runs the program with "/delete" and waits for it (up to the limit), then starts it again
  // without parameters and does not wait.
  void Run();

 private:
  platform::Platform& platform_;
  WaitCursor* cursor_;
  WaitLimits limits_;
};

// Stops the product's services without the right to control services: `Haltwerk`, then the
// command-line stop.
void StopServicesWithoutRights(platform::Platform& platform, CommandLineServices& command_line,
                               WaitCursor* cursor, WaitLimits limits = {});

}  // namespace qdw::system

#endif  // QDW_SYSTEM_HALTWERK_H_
