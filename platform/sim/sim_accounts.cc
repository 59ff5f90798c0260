#include "platform/sim/sim_accounts.h"

#include "platform/sim/sim_ports.h"
#include "platform/windows_path.h"

namespace qdw::sim {

using platform::EqualsIgnoreCase;
using platform::WinError;

namespace {

const SimAccount kWellKnown[] = {
    {"Everyone", "", "S-1-1-0"},
    {"SYSTEM", "NT AUTHORITY", "S-1-5-18"},
    {"Authenticated Users", "NT AUTHORITY", "S-1-5-11"},
    {"Administrators", "BUILTIN", "S-1-5-32-544"},
    {"Users", "BUILTIN", "S-1-5-32-545"},
};

void AddUnlessKnown(const SimAccount& account, std::vector<SimAccount>* accounts) {
  for (const SimAccount& known : *accounts) {
    if (EqualsIgnoreCase(known.sid, account.sid)) return;
  }
  accounts->push_back(account);
}

class SimAccounts : public platform::Accounts {
 public:
  explicit SimAccounts(SimMachine& machine) : machine_(machine) {}

  WinError LookupName(const std::string& /*system*/, const std::string& name, platform::Sid* sid,
                      std::string* domain) override {
    if (WinError fault = machine_.faults().Check("Accounts.LookupName", name)) return fault;
    SimAccount account;
    if (!FindAccountByName(machine_, name, &account) || !platform::Sid::Parse(account.sid, sid)) {
      return platform::kErrorNoneMapped;
    }
    if (domain) *domain = account.domain;
    return platform::kSuccess;
  }

  WinError LookupSid(const std::string& /*system*/, const platform::Sid& sid, std::string* name,
                     std::string* domain) override {
    if (!sid.IsValid()) return platform::kErrorInvalidSid;
    std::string text = sid.ToString();
    if (WinError fault = machine_.faults().Check("Accounts.LookupSid", text)) return fault;
    SimAccount account;
    if (!FindAccountBySid(machine_, text, &account)) return platform::kErrorNoneMapped;
    if (name) *name = account.name;
    if (domain) *domain = account.domain;
    return platform::kSuccess;
  }

  WinError ProcessUser(platform::Sid* sid) override {
    if (WinError fault = machine_.faults().Check("Accounts.ProcessUser")) return fault;
    if (!platform::Sid::Parse(machine_.CurrentUser().sid, sid)) return platform::kErrorNoToken;
    return platform::kSuccess;
  }

 private:
  SimMachine& machine_;
};

}  // namespace

std::vector<SimAccount> MachineAccounts(const SimMachine& machine) {
  std::vector<SimAccount> accounts;
  auto description = machine.Description();
  auto listed = description->find("accounts");
  if (listed != description->end() && listed->is_array()) {
    for (const Json& entry : *listed) {
      if (!entry.is_object()) continue;
      SimAccount account{entry.value("name", std::string()), entry.value("domain", std::string()),
                         entry.value("sid", std::string())};
      if (!account.name.empty() && !account.sid.empty()) AddUnlessKnown(account, &accounts);
    }
  }
  SimUser user = machine.CurrentUser();
  if (!user.sid.empty()) AddUnlessKnown({user.name, user.domain, user.sid}, &accounts);
  for (const SimAccount& account : kWellKnown) AddUnlessKnown(account, &accounts);
  return accounts;
}

bool FindAccountByName(const SimMachine& machine, const std::string& name, SimAccount* out) {
  std::string domain;
  std::string user = name;
  size_t slash = name.find('\\');
  bool qualified = slash != std::string::npos;
  if (qualified) {
    domain = name.substr(0, slash);
    user = name.substr(slash + 1);
  }
  if (user.empty()) return false;
  for (const SimAccount& account : MachineAccounts(machine)) {
    if (!EqualsIgnoreCase(account.name, user)) continue;
    if (qualified && !EqualsIgnoreCase(account.domain, domain)) continue;
    *out = account;
    return true;
  }
  return false;
}

bool FindAccountBySid(const SimMachine& machine, const std::string& sid, SimAccount* out) {
  for (const SimAccount& account : MachineAccounts(machine)) {
    if (EqualsIgnoreCase(account.sid, sid)) {
      *out = account;
      return true;
    }
  }
  return false;
}

std::unique_ptr<platform::Accounts> NewSimAccounts(SimMachine& machine) {
  return std::make_unique<SimAccounts>(machine);
}

}  // namespace qdw::sim
