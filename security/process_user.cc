#include "security/process_user.h"

namespace qdw::security {

bool ReadProcessUser(platform::Accounts& accounts, AccountId* user) {
  platform::Sid sid;
  if (accounts.ProcessUser(&sid) != platform::kSuccess || !sid.IsValid()) return false;
  *user = AccountId(accounts, sid);
  return true;
}

std::string ProcessUserText(const AccountId& user) {
  std::string account;
  std::string domain;
  if (!user.LookupNames(&account, &domain)) return std::string();
  return domain + "/" + account;
}

}  // namespace qdw::security
