#include "platform/win32/win32_convert.h"

namespace qdw::win32 {

platform::Sid SidFromWin32(PSID sid) {
  platform::Sid out;
  if (sid == nullptr || !IsValidSid(sid)) return out;
  const uint8_t* bytes = static_cast<const uint8_t*>(sid);
  out.bytes.assign(bytes, bytes + GetLengthSid(sid));
  return out;
}

platform::Acl AclFromWin32(const ACL* acl) {
  platform::Acl out;
  if (acl == nullptr) return out;
  for (DWORD i = 0; i < acl->AceCount; ++i) {
    void* raw = nullptr;
    if (!GetAce(const_cast<ACL*>(acl), i, &raw)) break;
    const ACE_HEADER* header = static_cast<const ACE_HEADER*>(raw);
    // Allow and deny entries share one layout: header, mask, then the SID.
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE && header->AceType != ACCESS_DENIED_ACE_TYPE) {
      continue;
    }
    const ACCESS_ALLOWED_ACE* entry = static_cast<const ACCESS_ALLOWED_ACE*>(raw);
    platform::Ace ace;
    ace.type = header->AceType == ACCESS_ALLOWED_ACE_TYPE ? platform::kAceAccessAllowed
                                                          : platform::kAceAccessDenied;
    ace.flags = header->AceFlags;
    ace.mask = entry->Mask;
    ace.sid = SidFromWin32(const_cast<DWORD*>(&entry->SidStart));
    out.entries.push_back(ace);
  }
  return out;
}

bool BuildWin32Acl(const platform::Acl& acl, std::vector<uint8_t>* buffer) {
  DWORD size = sizeof(ACL);
  for (const platform::Ace& ace : acl.entries) {
    if (!ace.sid.IsValid()) return false;
    size += sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + static_cast<DWORD>(ace.sid.bytes.size());
  }
  size = (size + 3) & ~3u;  // ACL sizes are DWORD-aligned
  buffer->assign(size, 0);
  ACL* out = reinterpret_cast<ACL*>(buffer->data());
  if (!InitializeAcl(out, size, ACL_REVISION)) return false;
  for (const platform::Ace& ace : acl.entries) {
    PSID sid = const_cast<uint8_t*>(ace.sid.bytes.data());
    // The Ex forms keep each entry's inheritance flags; deny entries stay deny entries.
    BOOL added = ace.type == platform::kAceAccessDenied
                     ? AddAccessDeniedAceEx(out, ACL_REVISION, ace.flags, ace.mask, sid)
                     : AddAccessAllowedAceEx(out, ACL_REVISION, ace.flags, ace.mask, sid);
    if (!added) return false;
  }
  return true;
}

}  // namespace qdw::win32
