// The product's settings in the registry: the one place where its keys are named. The object
// keeps no state; every operation opens its keys and closes them before returning, and reports
// failure only through its result.
#ifndef QDW_SETTINGS_PRODUCT_SETTINGS_H_
#define QDW_SETTINGS_PRODUCT_SETTINGS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace qdw::settings {

// Key paths exactly as the product's settings are addressed.
inline constexpr char kProductKey[] = "SOFTWARE\\VARNOLD\\Quillon Deskora";
inline constexpr char kShareProductKey[] = "SOFTWARE\\VARNOLD\\Quillon Deskora Share";
inline constexpr char kCommonSettingsKey[] =
    "SOFTWARE\\VARNOLD\\Quillon Deskora\\QDW\\User Settings\\Common";
inline constexpr char kMachineProductKey[] = "Software\\VARNOLD\\Quillon Deskora";
inline constexpr char kWritableProductKey[] = "Software\\VARNOLD\\Quillon Deskora\\QDW";
inline constexpr char kSharedFoldersKey[] =
    "Software\\VARNOLD\\Quillon Deskora\\QDW\\Shared Folders";

// Buffer sizes of the reads, terminator included.
inline constexpr uint32_t kRepositoryPathBufferSize = 1024;
inline constexpr uint32_t kVersionBufferSize = 16;
inline constexpr uint32_t kProductTypeBufferSize = 256;
// Every "Path" of a shared folder is written as exactly this many bytes.
inline constexpr uint32_t kSharedFolderPathValueSize = 1024;
// GetUserName's limit on the user name.
inline constexpr size_t kMaxUserNameLength = 255;

class ProductSettings {
 public:
  explicit ProductSettings(platform::Platform& platform) : platform_(platform) {}

  // The current user's "Repository Path" under the first subkey of the product key.
  bool ReadUserRepositoryPath(std::string* path);
  // The machine-wide "Repository Path".
  bool ReadMachineRepositoryPath(std::string* path);
  // "Display_Version" (at most 15 characters); `share_product_absent` tells whether the
  // separate share product's key is missing.
  bool ReadProductVersion(std::string* version, bool* share_product_absent);
  // "Product_Type"; "2" switches the command-line service steps on.
  bool ReadProductType(std::string* product_type);
  // Whether this user may write the product's machine settings. False only on an unexpected
  // error.
  bool CanWriteProductSettings(bool* writable);

  // The current user's registered shared folders as entries share name + "," + path. True
  // also when the user has none.
  bool ReadUserSharedFolders(std::vector<std::string>* entries);
  // Replaces the current user's registered shared folders by the parallel lists. Lists of
  // different lengths, an empty share name, one with a backslash, or a path longer than the
  // value can hold are refused before anything is changed.
  bool WriteUserSharedFolders(const std::vector<std::string>& names,
                              const std::vector<std::string>& paths);

 private:
  // "logon domain/user name", the name of the current user's shared-folder key.
  bool ReadUserKeyName(std::string* name);
  bool RemoveUserSharedFolders(const std::string& user_key);
  bool WriteSharedFolderEntries(const std::string& user_key, const std::vector<std::string>& names,
                                const std::vector<std::string>& paths);

  platform::Platform& platform_;
};

}  // namespace qdw::settings

#endif  // QDW_SETTINGS_PRODUCT_SETTINGS_H_
