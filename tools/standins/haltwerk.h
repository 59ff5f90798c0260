// The product's outside program Haltwerk, as far as the system uses it: "/delete" stops the
// product's services "VNQLNSharedFolder", "VNQLNWatchFolderService" and
// "QDW Share Proxy Service" (it runs with the product's own rights, so it needs none of the
// user's); without arguments it does nothing more. Every run is recorded in the machine's
// "haltwerk.json" ({"runs": [{"arguments": "/delete", "stopped": [...]}]}) for tests to read.
#ifndef QDW_TOOLS_STANDINS_HALTWERK_H_
#define QDW_TOOLS_STANDINS_HALTWERK_H_

#include <string>
#include <vector>

#include "platform/sim/sim_machine.h"

namespace qdw::standins {

// The exit code of Haltwerk with `arguments` (those after the program name).
int RunHaltwerk(const sim::SimMachine& machine, const std::vector<std::string>& arguments);

}  // namespace qdw::standins

#endif  // QDW_TOOLS_STANDINS_HALTWERK_H_
