#include "security/dacl_builder.h"

#include <algorithm>

#include "security/security_error.h"

namespace qdw::security {

namespace {

constexpr size_t kAclHeaderBytes = 8;
constexpr size_t kAceFixedBytes = 8;

// Rank in canonical order: explicit denied, explicit allowed, inherited denied, inherited
// allowed.
int CanonicalRank(const AccessEntry& entry) {
  const int inherited = (entry.flags & platform::kAceInherited) != 0 ? 2 : 0;
  return inherited + (entry.kind == AceKind::kDenied ? 0 : 1);
}

}  // namespace

bool DaclBuilder::AddAllowed(const AccountId& account, uint32_t mask, uint8_t flags) {
  return Add(AceKind::kAllowed, account, mask, flags);
}

bool DaclBuilder::AddDenied(const AccountId& account, uint32_t mask, uint8_t flags) {
  return Add(AceKind::kDenied, account, mask, flags);
}

bool DaclBuilder::Add(AceKind kind, const AccountId& account, uint32_t mask, uint8_t flags) {
  if (!account.IsValid()) return false;
  entries_.push_back(AccessEntry{kind, account, mask, flags});
  built_.reset();
  return true;
}

DaclBuilder DaclBuilder::FromAcl(platform::Accounts& accounts, const platform::Acl& acl,
                                 const std::string& system) {
  DaclBuilder builder;
  for (const platform::Ace& ace : acl.entries) {
    if (ace.type != platform::kAceAccessAllowed && ace.type != platform::kAceAccessDenied) {
      continue;
    }
    const AceKind kind =
        ace.type == platform::kAceAccessDenied ? AceKind::kDenied : AceKind::kAllowed;
    // Entries whose SID is damaged cannot be named or written back; they are left out too.
    builder.Add(kind, AccountId(accounts, ace.sid, system), ace.mask, ace.flags);
  }
  return builder;
}

size_t DaclBuilder::Win32Size() const {
  size_t size = kAclHeaderBytes;
  for (const AccessEntry& entry : entries_) {
    size += kAceFixedBytes + entry.account.sid().bytes.size();
  }
  return size;
}

const platform::Acl& DaclBuilder::Win32Dacl() {
  if (built_) return *built_;
  if (Win32Size() > kMaxAclBytes) {
    throw SecurityError("access list too large", platform::kErrorInvalidParameter);
  }
  std::vector<AccessEntry> ordered = entries_;
  std::stable_sort(ordered.begin(), ordered.end(), [](const AccessEntry& a, const AccessEntry& b) {
    return CanonicalRank(a) < CanonicalRank(b);
  });
  platform::Acl acl;
  acl.entries.reserve(ordered.size());
  for (const AccessEntry& entry : ordered) {
    platform::Ace ace;
    ace.type =
        entry.kind == AceKind::kDenied ? platform::kAceAccessDenied : platform::kAceAccessAllowed;
    ace.flags = entry.flags;
    ace.mask = entry.mask;
    ace.sid = entry.account.sid();
    acl.entries.push_back(ace);
  }
  built_ = std::move(acl);
  return *built_;
}

}  // namespace qdw::security
