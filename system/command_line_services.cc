#include "system/command_line_services.h"

#include <memory>

#include "settings/product_settings.h"

namespace qdw::system {

using platform::kSuccess;

std::vector<std::string> CommandLineServices::StopList() {
  return {kWatchFolderService, kShareProxyService};
}

std::vector<std::string> CommandLineServices::StartList() {
  return {kWatchFolderService, kShareProxyService, "VNQLNSharedFolder"};
}

bool CommandLineServices::StopProductServices() {
  platform_.system().DebugOutput("STOP SERVICE");
  RunForEach("STOP", StopList());
  return true;
}

bool CommandLineServices::StartProductServices() {
  platform_.system().DebugOutput("START SERVICE");
  RunForEach("START", StartList());
  return true;
}

void CommandLineServices::RunForEach(const std::string& verb,
                                     const std::vector<std::string>& services) {
  if (!IsEnabled()) return;
  std::string folder;
  if (platform_.shell().SystemFolder(&folder) != kSuccess) return;
  ScopedWaitCursor wait(cursor_);
  for (const std::string& service : services) RunNet(folder + "\\cmd.exe", verb, service);
}

bool CommandLineServices::IsEnabled() {
  std::string product_type;
  return settings::ProductSettings(platform_).ReadProductType(&product_type) && product_type == "2";
}

void CommandLineServices::RunNet(const std::string& program, const std::string& verb,
                                 const std::string& service) {
  std::string command_line = "/C NET " + verb + " \"" + service + "\"";
  // NET STOP asks before it stops dependent services; nobody could answer in a hidden window.
  if (verb == "STOP") command_line += " /Y";
  std::unique_ptr<platform::ProcessHandle> process;
  if (platform_.processes().Start(program, command_line, true, &process) != kSuccess) return;
  // A NET that never ends is left behind after the limit; the step goes on.
  process->Wait(limits_.net_command_ms);
}

}  // namespace qdw::system
