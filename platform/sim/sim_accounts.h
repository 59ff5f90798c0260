// Accounts of the stand-in machine: those of machine.json "accounts" ({name, domain, sid}),
// the current user, and the well-known ones ("Everyone" S-1-1-0, "SYSTEM", "Administrators",
// "Users", "Authenticated Users") unless the machine names their SIDs itself (a machine of
// another language may call the world group "Jeder").
#ifndef QDW_PLATFORM_SIM_SIM_ACCOUNTS_H_
#define QDW_PLATFORM_SIM_SIM_ACCOUNTS_H_

#include <memory>
#include <string>
#include <vector>

#include "platform/accounts.h"
#include "platform/sim/sim_machine.h"

namespace qdw::sim {

struct SimAccount {
  std::string name;
  std::string domain;
  std::string sid;  // "S-1-..."
};

std::vector<SimAccount> MachineAccounts(const SimMachine& machine);
// "name" or "DOMAIN\name", ignoring case.
bool FindAccountByName(const SimMachine& machine, const std::string& name, SimAccount* out);
bool FindAccountBySid(const SimMachine& machine, const std::string& sid, SimAccount* out);

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_SIM_ACCOUNTS_H_
