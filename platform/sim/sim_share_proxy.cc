// A stand-in for the product's share proxy service: the COM object's operations acting on the
// machine's shares.json. It is "installed" unless machine.json says
// "share_proxy_installed": false; then creating it fails as CoCreateInstanceEx would.
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/sim_accounts.h"
#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_ports.h"
#include "platform/sim/sim_share_table.h"
#include "platform/windows_path.h"

namespace qdw::sim {
namespace {

using platform::HResult;
using platform::kEFail;
using platform::kSFalse;
using platform::kSOk;

// HRESULT_FROM_WIN32.
HResult FromWin32(platform::WinError error) {
  return error == 0 ? kSOk : static_cast<HResult>(0x80070000u | (error & 0xFFFFu));
}

struct Permission {
  std::string account;
  bool allow, full_control, change, read;
};

class SimShareProxy : public platform::ShareProxy {
 public:
  explicit SimShareProxy(SimMachine& machine) : machine_(machine), table_(machine) {}

  HResult SetComputer(const std::string& computer) override {
    return Record("SetComputer", [&] { computer_ = computer; });
  }
  HResult SetShareName(const std::string& name) override {
    return Record("SetShareName", [&] { name_ = name; });
  }
  HResult SetPath(const std::string& path) override {
    return Record("SetPath", [&] { path_ = path; });
  }
  HResult SetRemark(const std::string& remark) override {
    return Record("SetRemark", [&] { remark_ = remark; });
  }
  HResult SetMaxUsers(int32_t max_users) override {
    return Record("SetMaxUsers", [&] { max_users_ = max_users; });
  }
  HResult SetOption(int32_t option) override {
    return Record("SetOption", [&] { option_ = option; });
  }
  HResult AddPermission(const std::string& account, bool allow, bool full_control, bool change,
                        bool read) override {
    return Record("AddPermission", [&] {
      permissions_.push_back({account, allow, full_control, change, read});
    });
  }
  HResult BeforeFinish(int32_t) override {
    return Record("BeforeFinish", [] {});
  }
  HResult Finish() override {
    return Record("Finish", [] {});
  }

  HResult CreateShare(const std::string& creator, int32_t) override {
    if (HResult fault = Fault("CreateShare", path_)) return fault;
    if (!ForThisComputer()) return FromWin32(platform::kErrorBadNetName);
    platform::ShareInfo share;
    share.name = name_;
    share.remark = remark_;
    share.path = path_;
    share.max_uses = max_users_;
    share.security = Descriptor();
    return FromWin32(table_.Add(share, creator));
  }

  HResult DeleteShare(const std::string&, int32_t) override {
    if (HResult fault = Fault("DeleteShare", name_)) return fault;
    if (!ForThisComputer()) return FromWin32(platform::kErrorBadNetName);
    return FromWin32(table_.Remove(name_));
  }

  HResult CheckShareName(int32_t) override {
    if (HResult fault = Fault("CheckShareName", name_)) return fault;
    platform::ShareInfo existing;
    return table_.Find(name_, &existing) == platform::kSuccess ? kSOk : kSFalse;
  }

  HResult CheckPath() override {
    if (HResult fault = Fault("CheckPath", path_)) return fault;
    return table_.PathShared(path_) ? kSOk : kSFalse;
  }

 private:
  HResult Fault(const char* method, const std::string& path) {
    platform::WinError error = machine_.faults().Check(std::string("ShareProxy.") + method, path);
    return FromWin32(error);
  }

  template <typename Setter>
  HResult Record(const char* method, Setter set) {
    if (HResult fault = Fault(method, "")) return fault;
    set();
    return kSOk;
  }

  bool ForThisComputer() const {
    std::string computer = computer_;
    while (!computer.empty() && computer[0] == '\\') computer.erase(0, 1);
    return computer.empty() || platform::EqualsIgnoreCase(computer, machine_.ComputerName());
  }

  // The entries the service would grant: deny entries first, as Windows orders them.
  platform::SecurityDescriptor Descriptor() const {
    platform::SecurityDescriptor descriptor;
    descriptor.dacl_present = true;
    for (bool denies : {true, false}) {
      for (const Permission& p : permissions_) {
        if (p.allow == denies) continue;
        SimAccount account;
        platform::Ace ace;
        if (!FindAccountByName(machine_, p.account, &account) ||
            !platform::Sid::Parse(account.sid, &ace.sid)) {
          continue;
        }
        ace.type = p.allow ? platform::kAceAccessAllowed : platform::kAceAccessDenied;
        ace.mask = p.full_control ? platform::kMaskFullControl
                   : p.change     ? platform::kMaskChange
                                  : platform::kMaskRead;
        descriptor.dacl.entries.push_back(ace);
      }
    }
    return descriptor;
  }

  SimMachine& machine_;
  SimShareTable table_;
  std::string computer_, name_, path_, remark_;
  int32_t max_users_ = -1;
  int32_t option_ = 0;
  std::vector<Permission> permissions_;
};

class SimShareProxyFactory : public platform::ShareProxyFactory {
 public:
  explicit SimShareProxyFactory(SimMachine& machine) : machine_(machine) {}

  HResult Create(std::unique_ptr<platform::ShareProxy>* out) override {
    out->reset();
    if (platform::WinError fault = machine_.faults().Check("ShareProxy.Create")) {
      return FromWin32(fault);
    }
    if (!machine_.Description()->value("share_proxy_installed", true)) return kEFail;
    *out = std::make_unique<SimShareProxy>(machine_);
    return kSOk;
  }

 private:
  SimMachine& machine_;
};

}  // namespace

std::unique_ptr<platform::ShareProxyFactory> NewSimShareProxyFactory(SimMachine& machine) {
  return std::make_unique<SimShareProxyFactory>(machine);
}

}  // namespace qdw::sim
