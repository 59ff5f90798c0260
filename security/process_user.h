// The user of the running process, as its access token names it.
#ifndef QDW_SECURITY_PROCESS_USER_H_
#define QDW_SECURITY_PROCESS_USER_H_

#include <string>

#include "platform/accounts.h"
#include "security/account_id.h"

namespace qdw::security {

// False when the token cannot be opened or queried; the caller skips what needs the user.
bool ReadProcessUser(platform::Accounts& accounts, AccountId* user);

// domain + "/" + account, the user text of the product's share service; empty when the
// account has no name.
std::string ProcessUserText(const AccountId& user);

}  // namespace qdw::security

#endif  // QDW_SECURITY_PROCESS_USER_H_
