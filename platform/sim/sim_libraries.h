// Modules by name on the stand-in machine. "X.dll" or "X" is the host shared object "libX.so"
// (the name matched ignoring case), except that a Windows image of that very name (such as
// the resource module "Lingvault.dll") is served from its resources. Modules are looked for
// in the folders of QDW_LIBRARY_PATH (":"-separated), then the folder of the module holding
// this code (the program, or the Compressor or Extractor library), then the folder of the
// running program. Faults: "Libraries.Load" with the name as asked, "Libraries.Symbol" with
// "<name as asked>!<entry>".
#ifndef QDW_PLATFORM_SIM_SIM_LIBRARIES_H_
#define QDW_PLATFORM_SIM_SIM_LIBRARIES_H_

#include <memory>
#include <string>
#include <vector>

#include "platform/library.h"
#include "platform/sim/sim_machine.h"

namespace qdw::sim {

class SimLibraries : public platform::Libraries {
 public:
  explicit SimLibraries(SimMachine& machine) : machine_(machine) {}
  platform::WinError Load(const std::string& name,
                          std::unique_ptr<platform::Library>* out) override;

  // The folders searched, in order.
  static std::vector<std::string> SearchFolders();

 private:
  SimMachine& machine_;
};

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_SIM_LIBRARIES_H_
