// An account's security identifier, made from an account name or from a raw SID. The
// account's own name and domain are looked up on demand, once, and kept.
#ifndef QDW_SECURITY_ACCOUNT_ID_H_
#define QDW_SECURITY_ACCOUNT_ID_H_

#include <string>

#include "platform/accounts.h"
#include "platform/security_types.h"

namespace qdw::security {

class AccountId {
 public:
  // An identifier that holds no valid SID.
  AccountId() = default;
  // `accounts` looks the names up later; `system` names the machine asked (empty: local).
  AccountId(platform::Accounts& accounts, platform::Sid sid, std::string system = "");

  // The account `name` as `system` resolves it; an invalid identifier when it does not.
  static AccountId FromName(platform::Accounts& accounts, const std::string& name,
                            const std::string& system = "");

  bool IsValid() const { return sid_.IsValid(); }
  const platform::Sid& sid() const { return sid_; }
  const std::string& system() const { return system_; }

  // The account's name and domain; false (both empty) when the SID has no name.
  bool LookupNames(std::string* account, std::string* domain) const;
  // The account's name; empty when the SID has no name.
  std::string AccountName() const;

 private:
  platform::Accounts* accounts_ = nullptr;
  platform::Sid sid_;
  std::string system_;
  mutable bool looked_up_ = false;
  mutable bool has_names_ = false;
  mutable std::string account_;
  mutable std::string domain_;
};

}  // namespace qdw::security

#endif  // QDW_SECURITY_ACCOUNT_ID_H_
