#include "platform/win32/win32_convert.h"

namespace qdw::win32 {

platform::Sid SidFromWin32(PSID sid) {
  platform::Sid out;
  if (sid == nullptr || !IsValidSid(sid)) return out;
  const uint8_t* bytes = static_cast<const uint8_t*>(sid);
  out.bytes.assign(bytes, bytes + GetLengthSid(sid));
  return out;
}

namespace {

// Object entries (the ones with object type GUIDs) need the directory-service revision of
// the list; every other kind is valid in a list of the ordinary revision.
bool IsObjectEntry(uint8_t type) {
  switch (type) {
    case ACCESS_ALLOWED_OBJECT_ACE_TYPE:
    case ACCESS_DENIED_OBJECT_ACE_TYPE:
    case SYSTEM_AUDIT_OBJECT_ACE_TYPE:
    case SYSTEM_ALARM_OBJECT_ACE_TYPE:
    case ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE:
    case ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE:
    case SYSTEM_AUDIT_CALLBACK_OBJECT_ACE_TYPE:
    case SYSTEM_ALARM_CALLBACK_OBJECT_ACE_TYPE:
      return true;
    default:
      return false;
  }
}

// Header, mask, then the SID; the size the Ex functions give such an entry.
DWORD PlainEntrySize(const platform::Sid& sid) {
  return static_cast<DWORD>(sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + sid.bytes.size());
}

}  // namespace

platform::Acl AclFromWin32(const ACL* acl) {
  platform::Acl out;
  if (acl == nullptr) return out;
  for (DWORD i = 0; i < acl->AceCount; ++i) {
    void* raw = nullptr;
    if (!GetAce(const_cast<ACL*>(acl), i, &raw)) break;
    const ACE_HEADER* header = static_cast<const ACE_HEADER*>(raw);
    const uint8_t* bytes = static_cast<const uint8_t*>(raw);
    platform::Ace ace = platform::Ace::Opaque(std::vector<uint8_t>(bytes, bytes + header->AceSize));
    if (header->AceType == ACCESS_ALLOWED_ACE_TYPE || header->AceType == ACCESS_DENIED_ACE_TYPE) {
      // Allow and deny entries share one layout: header, mask, then the SID.
      const ACCESS_ALLOWED_ACE* entry = static_cast<const ACCESS_ALLOWED_ACE*>(raw);
      ace.mask = entry->Mask;
      ace.sid = SidFromWin32(const_cast<DWORD*>(&entry->SidStart));
      // Rebuilt from its fields it is the same bytes; only an entry with more keeps its own.
      if (ace.sid.IsValid() && header->AceSize == PlainEntrySize(ace.sid)) ace.raw.clear();
    }
    out.entries.push_back(ace);
  }
  return out;
}

bool BuildWin32Acl(const platform::Acl& acl, std::vector<uint8_t>* buffer) {
  DWORD size = sizeof(ACL);
  DWORD revision = ACL_REVISION;
  for (const platform::Ace& ace : acl.entries) {
    if (!ace.raw.empty()) {
      if (ace.raw.size() < sizeof(ACE_HEADER) || ace.raw.size() > MAXWORD ||
          reinterpret_cast<const ACE_HEADER*>(ace.raw.data())->AceSize != ace.raw.size()) {
        return false;
      }
      if (IsObjectEntry(ace.raw[0])) revision = ACL_REVISION_DS;
      size += static_cast<DWORD>(ace.raw.size());
      continue;
    }
    if (!ace.sid.IsValid()) return false;
    size += PlainEntrySize(ace.sid);
  }
  size = (size + 3) & ~3u;  // ACL sizes are DWORD-aligned
  buffer->assign(size, 0);
  ACL* out = reinterpret_cast<ACL*>(buffer->data());
  if (!InitializeAcl(out, size, revision)) return false;
  for (const platform::Ace& ace : acl.entries) {
    BOOL added = FALSE;
    if (!ace.raw.empty()) {
      added = AddAce(out, revision, MAXDWORD, const_cast<uint8_t*>(ace.raw.data()),
                     static_cast<DWORD>(ace.raw.size()));
    } else {
      PSID sid = const_cast<uint8_t*>(ace.sid.bytes.data());
      // The Ex forms keep each entry's inheritance flags; deny entries stay deny entries.
      added = ace.type == platform::kAceAccessDenied
                  ? AddAccessDeniedAceEx(out, revision, ace.flags, ace.mask, sid)
                  : AddAccessAllowedAceEx(out, revision, ace.flags, ace.mask, sid);
    }
    if (!added) return false;
  }
  return true;
}

}  // namespace qdw::win32
