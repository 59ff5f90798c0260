// A discretionary access list built from allowed and denied entries, handed to the system in
// canonical order: explicit entries before inherited ones and, within each, denied entries
// before allowed ones, otherwise in the order they were added.
#ifndef QDW_SECURITY_DACL_BUILDER_H_
#define QDW_SECURITY_DACL_BUILDER_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/accounts.h"
#include "platform/security_types.h"
#include "security/account_id.h"

namespace qdw::security {

enum class AceKind { kAllowed, kDenied };

struct AccessEntry {
  AceKind kind = AceKind::kAllowed;
  AccountId account;
  uint32_t mask = 0;
  uint8_t flags = 0;
};

// Largest access list the system accepts, in bytes.
inline constexpr size_t kMaxAclBytes = 0xFFFF;

class DaclBuilder {
 public:
  // Both refuse (false, nothing added) an identifier without a valid SID.
  bool AddAllowed(const AccountId& account, uint32_t mask, uint8_t flags = 0);
  bool AddDenied(const AccountId& account, uint32_t mask, uint8_t flags = 0);

  // Every allowed and denied entry of `acl`, in its order; entries of other kinds are left
  // out. Account names are looked up through `accounts` when asked for.
  static DaclBuilder FromAcl(platform::Accounts& accounts, const platform::Acl& acl,
                             const std::string& system = "");

  // Entries in the order they were added.
  const std::vector<AccessEntry>& entries() const { return entries_; }

  // The list in its system form and canonical order, built once and kept until an entry is
  // added. Raises SecurityError when the list is too large for the system.
  const platform::Acl& Win32Dacl();
  // Size of the system form: an 8-byte header and each entry's 8 bytes plus its SID.
  size_t Win32Size() const;

 private:
  bool Add(AceKind kind, const AccountId& account, uint32_t mask, uint8_t flags);

  std::vector<AccessEntry> entries_;
  std::optional<platform::Acl> built_;
};

}  // namespace qdw::security

#endif  // QDW_SECURITY_DACL_BUILDER_H_
