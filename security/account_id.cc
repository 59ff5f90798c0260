#include "security/account_id.h"

#include <utility>

namespace qdw::security {

AccountId::AccountId(platform::Accounts& accounts, platform::Sid sid, std::string system)
    : accounts_(&accounts), sid_(std::move(sid)), system_(std::move(system)) {}

AccountId AccountId::FromName(platform::Accounts& accounts, const std::string& name,
                              const std::string& system) {
  platform::Sid sid;
  std::string domain;
  if (accounts.LookupName(system, name, &sid, &domain) != platform::kSuccess || !sid.IsValid()) {
    AccountId unresolved;
    unresolved.accounts_ = &accounts;
    unresolved.system_ = system;
    return unresolved;
  }
  return AccountId(accounts, sid, system);
}

bool AccountId::LookupNames(std::string* account, std::string* domain) const {
  if (!looked_up_) {
    looked_up_ = true;
    has_names_ = accounts_ != nullptr && IsValid() &&
                 accounts_->LookupSid(system_, sid_, &account_, &domain_) == platform::kSuccess;
    if (!has_names_) {
      account_.clear();
      domain_.clear();
    }
  }
  *account = account_;
  *domain = domain_;
  return has_names_;
}

std::string AccountId::AccountName() const {
  std::string account;
  std::string domain;
  LookupNames(&account, &domain);
  return account;
}

}  // namespace qdw::security
