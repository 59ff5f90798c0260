// The work behind the access-rights library's exports, on a platform handed in by the caller.
#ifndef QDW_RIGHTSMEND_ACCESS_RIGHTS_H_
#define QDW_RIGHTSMEND_ACCESS_RIGHTS_H_

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace qdw::rightsmend {

// Results of the exports.
inline constexpr int kRightsFailed = 0;
inline constexpr int kRightsDone = 1;

// Entry flags of the new entry on a folder: objects and sub-folders inherit it.
inline constexpr uint8_t kFolderInheritFlags =
    platform::kAceObjectInherit | platform::kAceContainerInherit;

class AccessRights {
 public:
  explicit AccessRights(platform::Platform& platform) : platform_(platform) {}

  // `relative_path` below the machine-wide application-data folder.
  int ChangeRelative(const std::string& relative_path, const std::string& account, uint32_t mask,
                     int keep_existing, int recurse);
  int ChangeFullPath(const std::string& full_path, const std::string& account, uint32_t mask,
                     int keep_existing, int recurse);

 private:
  // Result of an export for `path` on the volume whose root is `root`.
  int ChangeOnVolume(const std::string& root, const std::string& path, const std::string& account,
                     uint32_t mask, int keep_existing, int recurse);
  // The account's SID; the world group for the exact name "Everyone" when it does not resolve.
  platform::WinError ResolveAccount(const std::string& account, platform::Sid* sid);
  // 0 or the first Windows error; a tree is changed from the top down.
  platform::WinError ChangeTree(const std::string& path, const platform::Sid& sid, uint32_t mask,
                                bool keep, bool recurse);
  platform::WinError ChangeObject(const std::string& path, const platform::Sid& sid, uint32_t mask,
                                  bool keep, uint8_t flags);
  bool IsNt();

  platform::Platform& platform_;
};

}  // namespace qdw::rightsmend

#endif  // QDW_RIGHTSMEND_ACCESS_RIGHTS_H_
