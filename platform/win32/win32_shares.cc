// Network shares of the local machine (NetShare* at level 502) and the workstation's user.
// The network management functions take and return UTF-16 texts; the port speaks ANSI.
#include <windows.h>
// <lm.h> after <windows.h>.
#include <lm.h>

#include <vector>

#include "platform/win32/win32_convert.h"
#include "platform/win32/win32_ports.h"
#include "platform/win32/win32_wide_text.h"

namespace qdw::win32 {
namespace {

using platform::WinError;

// Batches of about this many bytes, so a long share list arrives in several calls.
constexpr DWORD kEnumerateBatchBytes = 16 * 1024;

// Frees a buffer the network management functions allocated.
class NetBuffer {
 public:
  NetBuffer() = default;
  ~NetBuffer() {
    if (data_ != nullptr) NetApiBufferFree(data_);
  }
  NetBuffer(const NetBuffer&) = delete;
  NetBuffer& operator=(const NetBuffer&) = delete;
  LPBYTE* out() { return &data_; }
  template <typename T>
  const T* as() const {
    return reinterpret_cast<const T*>(data_);
  }

 private:
  LPBYTE data_ = nullptr;
};

platform::ShareInfo FromShareInfo502(const SHARE_INFO_502& info) {
  platform::ShareInfo share;
  share.name = AnsiFromWide(info.shi502_netname);
  share.type = info.shi502_type;
  share.remark = OptionalAnsiFromWide(info.shi502_remark);
  share.permissions = info.shi502_permissions;
  share.max_uses = static_cast<int32_t>(info.shi502_max_uses);
  share.current_uses = info.shi502_current_uses;
  share.path = OptionalAnsiFromWide(info.shi502_path);
  share.password = OptionalAnsiFromWide(info.shi502_passwd);
  if (info.shi502_security_descriptor != nullptr &&
      IsValidSecurityDescriptor(info.shi502_security_descriptor)) {
    platform::SecurityDescriptor security;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    // A descriptor without a DACL reads as an empty list.
    if (GetSecurityDescriptorDacl(info.shi502_security_descriptor, &present, &dacl, &defaulted) &&
        present) {
      security.dacl_present = true;
      security.dacl = AclFromWin32(dacl);
    }
    share.security = security;
  }
  return share;
}

// The wide texts and the descriptor of one NetShareAdd call, kept alive for its length.
class ShareRecord {
 public:
  // False when the DACL cannot be built (an entry with an invalid SID).
  bool Build(const platform::ShareInfo& share) {
    name_ = WideFromAnsi(share.name);
    remark_ = WideFromAnsi(share.remark.value_or(""));
    path_ = WideFromAnsi(share.path.value_or(""));
    password_ = WideFromAnsi(share.password.value_or(""));
    info_ = SHARE_INFO_502{};
    info_.shi502_netname = name_.data();
    info_.shi502_type = share.type;
    info_.shi502_remark = share.remark ? remark_.data() : nullptr;
    info_.shi502_permissions = share.permissions;
    info_.shi502_max_uses = static_cast<DWORD>(share.max_uses);
    info_.shi502_path = share.path ? path_.data() : nullptr;
    info_.shi502_passwd = share.password ? password_.data() : nullptr;
    if (!share.security) return true;
    if (!InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION)) return false;
    if (share.security->dacl_present) {
      if (!BuildWin32Acl(share.security->dacl, &acl_)) return false;
      if (!SetSecurityDescriptorDacl(&descriptor_, TRUE, reinterpret_cast<PACL>(acl_.data()),
                                     FALSE)) {
        return false;
      }
    }
    info_.shi502_security_descriptor = &descriptor_;
    return true;
  }
  LPBYTE bytes() { return reinterpret_cast<LPBYTE>(&info_); }

 private:
  std::wstring name_, remark_, path_, password_;
  std::vector<uint8_t> acl_;
  SECURITY_DESCRIPTOR descriptor_{};
  SHARE_INFO_502 info_{};
};

class Win32Shares : public platform::Shares {
 public:
  WinError Enumerate(uint32_t* resume_handle, std::vector<platform::ShareInfo>* out) override {
    NetBuffer buffer;
    DWORD read = 0;
    DWORD total = 0;
    DWORD resume = *resume_handle;
    const NET_API_STATUS status =
        NetShareEnum(nullptr, 502, buffer.out(), kEnumerateBatchBytes, &read, &total, &resume);
    if (status != NERR_Success && status != ERROR_MORE_DATA) return status;
    const SHARE_INFO_502* shares = buffer.as<SHARE_INFO_502>();
    for (DWORD i = 0; shares != nullptr && i < read; ++i)
      out->push_back(FromShareInfo502(shares[i]));
    *resume_handle = resume;
    return status == ERROR_MORE_DATA ? platform::kErrorMoreData : platform::kSuccess;
  }

  WinError GetInfo(const std::string& name, platform::ShareInfo* out) override {
    NetBuffer buffer;
    std::wstring wide_name = WideFromAnsi(name);
    const NET_API_STATUS status = NetShareGetInfo(nullptr, wide_name.data(), 502, buffer.out());
    if (status != NERR_Success) return status;
    if (buffer.as<SHARE_INFO_502>() == nullptr) return platform::kNerrNetNameNotFound;
    *out = FromShareInfo502(*buffer.as<SHARE_INFO_502>());
    return platform::kSuccess;
  }

  WinError Add(const platform::ShareInfo& share) override {
    ShareRecord record;
    if (!record.Build(share)) return platform::kErrorInvalidParameter;
    DWORD bad_field = 0;
    return NetShareAdd(nullptr, 502, record.bytes(), &bad_field);
  }

  WinError Delete(const std::string& name) override {
    std::wstring wide_name = WideFromAnsi(name);
    return NetShareDel(nullptr, wide_name.data(), 0);
  }

  WinError WorkstationUser(std::string* logon_domain, std::string* user_name) override {
    NetBuffer buffer;
    const NET_API_STATUS status = NetWkstaUserGetInfo(nullptr, 1, buffer.out());
    if (status != NERR_Success) return status;
    const WKSTA_USER_INFO_1* info = buffer.as<WKSTA_USER_INFO_1>();
    if (info == nullptr) return platform::kErrorInvalidParameter;
    *logon_domain = AnsiFromWide(info->wkui1_logon_domain);
    *user_name = AnsiFromWide(info->wkui1_username);
    return platform::kSuccess;
  }
};

}  // namespace

std::unique_ptr<platform::Shares> NewWin32Shares() { return std::make_unique<Win32Shares>(); }

}  // namespace qdw::win32
