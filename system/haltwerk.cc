#include "system/haltwerk.h"

#include <memory>

#include "settings/product_settings.h"

namespace qdw::system {

namespace {

// The machine-wide repository path ends with this many characters that the program's folder
// does not have.
constexpr size_t kRepositorySuffixLength = 6;

}  // namespace

std::string Haltwerk::ProgramPath() {
  std::string repository;
  if (!settings::ProductSettings(platform_).ReadMachineRepositoryPath(&repository)) {
    return kHaltwerkProgram;
  }
  const size_t keep =
      repository.size() > kRepositorySuffixLength ? repository.size() - kRepositorySuffixLength : 0;
  return repository.substr(0, keep) + kHaltwerkProgram;
}

void Haltwerk::Run() {
  const std::string program = ProgramPath();
  ScopedWaitCursor wait(cursor_);
  platform::Shell& shell = platform_.shell();
  std::unique_ptr<platform::ProcessHandle> process;
  if (shell.Execute("open", program, "/delete", platform::kShowMaximized, &process) ==
          platform::kSuccess &&
      process) {
    // A run that never ends is left behind after the limit; stopping goes on without it.
    process->Wait(limits_.haltwerk_ms);
    process.reset();
  }
  shell.Execute("open", program, "", platform::kShowMaximized, nullptr);
}

void StopServicesWithoutRights(platform::Platform& platform, CommandLineServices& command_line,
                               WaitCursor* cursor, WaitLimits limits) {
  ScopedWaitCursor wait(cursor);
  Haltwerk(platform, cursor, limits).Run();
  command_line.StopProductServices();
}

}  // namespace qdw::system
