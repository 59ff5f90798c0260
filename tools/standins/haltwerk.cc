#include "tools/standins/haltwerk.h"

#include "platform/sim/sim_services.h"
#include "platform/windows_path.h"

namespace qdw::standins {
namespace {

const char* const kProductServices[] = {"VNQLNSharedFolder", "VNQLNWatchFolderService",
                                        "QDW Share Proxy Service"};

// Stops the product's services that run; a stuck one stays pending. Names of those stopped.
sim::Json StopProductServices(const sim::SimMachine& machine) {
  sim::Json stopped = sim::Json::array();
  machine.store().Update("services.json", [&](sim::Json& services) {
    if (!services.is_object()) return false;
    bool changed = false;
    for (auto it = services.begin(); it != services.end(); ++it) {
      bool product = false;
      for (const char* name : kProductServices) {
        product = product || platform::EqualsIgnoreCase(it.key(), name);
      }
      if (!product || !it->is_object()) continue;
      uint32_t state = sim::ServiceStateFromName(it->value("state", std::string("stopped")));
      if (state == platform::kServiceStopped) continue;
      (*it)["state"] = it->value("stuck", false) ? "stop_pending" : "stopped";
      it->erase("polls_left");
      if (!it->value("stuck", false)) stopped.push_back(it.key());
      changed = true;
    }
    return changed;
  });
  return stopped;
}

}  // namespace

int RunHaltwerk(const sim::SimMachine& machine, const std::vector<std::string>& arguments) {
  std::string text;
  for (const std::string& argument : arguments) text += (text.empty() ? "" : " ") + argument;
  bool delete_run = !arguments.empty() && platform::EqualsIgnoreCase(arguments[0], "/delete");
  sim::Json run = {{"arguments", text}};
  if (delete_run) run["stopped"] = StopProductServices(machine);
  machine.store().Update("haltwerk.json", [&](sim::Json& document) {
    document["runs"].push_back(run);
    return true;
  });
  return 0;
}

}  // namespace qdw::standins
