// The network-share port of the stand-in machine (NetShare* over shares.json).
#include <memory>

#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_ports.h"
#include "platform/sim/sim_share_table.h"

namespace qdw::sim {
namespace {

using platform::ShareInfo;
using platform::WinError;

class SimShares : public platform::Shares {
 public:
  explicit SimShares(SimMachine& machine) : machine_(machine), table_(machine) {}

  WinError Enumerate(uint32_t* resume_handle, std::vector<ShareInfo>* out) override {
    if (WinError fault = machine_.faults().Check("Shares.Enumerate")) return fault;
    bool more = false;
    if (WinError error = table_.Batch(resume_handle, out, &more)) return error;
    return more ? platform::kErrorMoreData : platform::kSuccess;
  }

  WinError GetInfo(const std::string& name, ShareInfo* out) override {
    if (WinError fault = machine_.faults().Check("Shares.GetInfo", name)) return fault;
    return table_.Find(name, out);
  }

  WinError Add(const ShareInfo& share) override {
    if (WinError fault = machine_.faults().Check("Shares.Add", share.path.value_or(""))) {
      return fault;
    }
    // Only administrators may share folders.
    if (!machine_.CurrentUser().admin) return platform::kErrorAccessDenied;
    return table_.Add(share);
  }

  WinError Delete(const std::string& name) override {
    if (WinError fault = machine_.faults().Check("Shares.Delete", name)) return fault;
    if (!machine_.CurrentUser().admin) return platform::kErrorAccessDenied;
    return table_.Remove(name);
  }

  WinError WorkstationUser(std::string* logon_domain, std::string* user_name) override {
    if (WinError fault = machine_.faults().Check("Shares.WorkstationUser")) return fault;
    SimUser user = machine_.CurrentUser();
    *logon_domain = user.domain;
    *user_name = user.name;
    return platform::kSuccess;
  }

 private:
  SimMachine& machine_;
  SimShareTable table_;
};

}  // namespace

std::unique_ptr<platform::Shares> NewSimShares(SimMachine& machine) {
  return std::make_unique<SimShares>(machine);
}

}  // namespace qdw::sim
