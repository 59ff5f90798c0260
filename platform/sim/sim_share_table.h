// The network shares of the stand-in machine, kept in "shares.json" in creation order:
//   {"shares": [{"name": "Docs", "type": 0, "remark": "...", "permissions": 0,
//                "max_uses": -1, "current_uses": 0, "path": "C:\\Data\\Docs",
//                "security": {"dacl_present": true,
//                             "dacl": [{"type": "allow", "flags": 0, "mask": 2032127,
//                                       "sid": "S-1-1-0"}]}}],
//    "batch_size": 3}
// Absent texts ("remark", "path", "password") stand for null fields; an absent "security"
// for a share without a descriptor. Enumeration hands out "batch_size" shares per call.
// Both the Shares port and the share proxy stand-in change shares through this table.
#ifndef QDW_PLATFORM_SIM_SIM_SHARE_TABLE_H_
#define QDW_PLATFORM_SIM_SIM_SHARE_TABLE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/shares.h"
#include "platform/sim/sim_machine.h"

namespace qdw::sim {

class SimShareTable {
 public:
  explicit SimShareTable(SimMachine& machine) : machine_(machine) {}

  // Shares from index `*next` on, at most one batch; `*more` tells whether others follow.
  platform::WinError Batch(uint32_t* next, std::vector<platform::ShareInfo>* out, bool* more);
  // kNerrNetNameNotFound when there is no share of that name (ignoring case).
  platform::WinError Find(const std::string& name, platform::ShareInfo* out);
  // kNerrDuplicateShare when the name is taken (ignoring case), kNerrUnknownDevDir when the
  // path is not an existing folder of the machine, kErrorInvalidParameter without a name.
  // `creator` (may be empty) is recorded with the share.
  platform::WinError Add(const platform::ShareInfo& share, const std::string& creator = "");
  platform::WinError Remove(const std::string& name);
  // True when a share's path equals `path` ignoring case.
  bool PathShared(const std::string& path);

  // An entry of shares.json and back, its texts as stored (UTF-8).
  static Json ToJson(const platform::ShareInfo& share);
  static platform::ShareInfo FromJson(const Json& entry);

 private:
  platform::ShareInfo ForProgram(platform::ShareInfo share) const;
  platform::ShareInfo Stored(platform::ShareInfo share) const;
  bool SameName(const Json& entry, const std::string& ansi_name) const;
  bool FolderExists(const std::string& windows_path) const;

  SimMachine& machine_;
};

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_SIM_SHARE_TABLE_H_
