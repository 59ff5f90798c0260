// Accounts and their security identifiers, and the user of the running process.
#ifndef QDW_PLATFORM_ACCOUNTS_H_
#define QDW_PLATFORM_ACCOUNTS_H_

#include <string>

#include "platform/security_types.h"
#include "platform/win_error.h"

namespace qdw::platform {

class Accounts {
 public:
  virtual ~Accounts() = default;
  // LookupAccountName on `system` (empty: the local machine). Names are case-insensitive;
  // "DOMAIN\name" is accepted. kErrorNoneMapped when the name does not resolve.
  virtual WinError LookupName(const std::string& system, const std::string& name, Sid* sid,
                              std::string* domain) = 0;
  // LookupAccountSid; kErrorNoneMapped when the SID has no name.
  virtual WinError LookupSid(const std::string& system, const Sid& sid, std::string* name,
                             std::string* domain) = 0;
  // The token user of the current process; kErrorNoToken when it cannot be read.
  virtual WinError ProcessUser(Sid* sid) = 0;
};

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_ACCOUNTS_H_
