// Network shares of the local machine (NetShare* at levels 2 and 502), the workstation's
// logged-on user, and the product's share proxy service.
#ifndef QDW_PLATFORM_SHARES_H_
#define QDW_PLATFORM_SHARES_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/security_types.h"
#include "platform/win_error.h"

namespace qdw::platform {

inline constexpr uint32_t kShareTypeDisk = 0;

// SHARE_INFO_502 in the program's ANSI text. Optional texts model fields the platform
// reports as absent (null pointers).
struct ShareInfo {
  std::string name;
  uint32_t type = kShareTypeDisk;
  std::optional<std::string> remark;
  uint32_t permissions = 0;
  int32_t max_uses = -1;  // -1: no limit
  uint32_t current_uses = 0;
  std::optional<std::string> path;
  std::optional<std::string> password;
  std::optional<SecurityDescriptor> security;  // absent: no descriptor
};

class Shares {
 public:
  virtual ~Shares() = default;
  // NetShareEnum at level 502. Appends one batch to `out`; returns kErrorMoreData while more
  // batches follow (call again with the same `*resume_handle`, which starts at 0) and
  // kSuccess with the last one.
  virtual WinError Enumerate(uint32_t* resume_handle, std::vector<ShareInfo>* out) = 0;
  // NetShareGetInfo at level 502; kNerrNetNameNotFound when there is no such share.
  virtual WinError GetInfo(const std::string& name, ShareInfo* out) = 0;
  // NetShareAdd at level 502; kNerrDuplicateShare (2118) when the name is taken,
  // kNerrUnknownDevDir when the path does not exist.
  virtual WinError Add(const ShareInfo& share) = 0;
  // NetShareDel on the local server.
  virtual WinError Delete(const std::string& name) = 0;
  // NetWkstaUserGetInfo at level 1: the calling user's logon domain and user name.
  virtual WinError WorkstationUser(std::string* logon_domain, std::string* user_name) = 0;
};

// HRESULT values of the share proxy calls.
using HResult = int32_t;
inline constexpr HResult kSOk = 0;
inline constexpr HResult kSFalse = 1;
inline constexpr HResult kEFail = static_cast<HResult>(0x80004005);
inline bool Failed(HResult hr) { return hr < 0; }

// The product's share proxy service object (one COM object of the service). Methods follow
// the interface's operations; each returns an HRESULT.
class ShareProxy {
 public:
  virtual ~ShareProxy() = default;
  virtual HResult SetComputer(const std::string& computer) = 0;
  virtual HResult SetShareName(const std::string& name) = 0;
  virtual HResult SetPath(const std::string& path) = 0;
  virtual HResult SetRemark(const std::string& remark) = 0;
  virtual HResult SetMaxUsers(int32_t max_users) = 0;
  virtual HResult SetOption(int32_t option) = 0;
  virtual HResult AddPermission(const std::string& account, bool allow, bool full_control,
                                bool change, bool read) = 0;
  virtual HResult BeforeFinish(int32_t value) = 0;
  virtual HResult Finish() = 0;
  virtual HResult CreateShare(const std::string& creator, int32_t flags) = 0;
  virtual HResult DeleteShare(const std::string& creator, int32_t flags) = 0;
  // kSOk: the name is taken; kSFalse: it is free.
  virtual HResult CheckShareName(int32_t mode) = 0;
  // kSOk: the path is already shared.
  virtual HResult CheckPath() = 0;
};

class ShareProxyFactory {
 public:
  virtual ~ShareProxyFactory() = default;
  // CoCreateInstanceEx of the proxy class; a failing HRESULT when the service is missing.
  virtual HResult Create(std::unique_ptr<ShareProxy>* out) = 0;
};

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_SHARES_H_
