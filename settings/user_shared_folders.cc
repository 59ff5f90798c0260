// The current user's registered shared folders: one subkey per share under a key named after
// the user's logon domain and name, each holding the folder as "Path".
#include <exception>
#include <memory>

#include "platform/windows_path.h"
#include "settings/product_settings.h"
#include "settings/registry_text.h"

namespace qdw::settings {

using platform::Hive;
using platform::kSuccess;
using platform::RegistryKey;

namespace {

constexpr uint32_t kWriteAndEnumerate = platform::kKeyWrite | platform::kKeyEnumerateSubKeys;

// What the write is about to store must fit before the old entries are removed.
bool IsWritableList(const std::vector<std::string>& names, const std::vector<std::string>& paths) {
  if (names.size() != paths.size()) return false;
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i].empty() || platform::FindSeparator(names[i]) != std::string::npos) return false;
    if (paths[i].size() >= kSharedFolderPathValueSize) return false;
  }
  return true;
}

}  // namespace

bool ProductSettings::ReadUserSharedFolders(std::vector<std::string>* entries) {
  entries->clear();
  try {
    std::string user_key;
    if (!ReadUserKeyName(&user_key)) return false;
    auto& registry = platform_.registry();
    std::unique_ptr<RegistryKey> product;
    if (registry.OpenKey(Hive::kLocalMachine, kMachineProductKey, platform::kKeyRead, &product) !=
        kSuccess) {
      return false;
    }
    // Only a key or entry that is not there means no folder: a list cut short by an error
    // would make registered folders look like strangers' (and their shares stay).
    std::string first;
    const platform::WinError listed = product->EnumSubKey(0, &first);
    if (listed == platform::kErrorNoMoreItems) return true;
    if (listed != kSuccess) return false;
    const std::string user_path =
        std::string(kMachineProductKey) + "\\" + first + "\\Shared Folders\\" + user_key;
    std::unique_ptr<RegistryKey> user;
    const platform::WinError opened =
        registry.OpenKey(Hive::kLocalMachine, user_path, platform::kKeyRead, &user);
    if (opened == platform::kErrorFileNotFound) return true;
    if (opened != kSuccess) return false;
    std::vector<std::string> names;
    for (uint32_t index = 0;; ++index) {
      std::string name;
      const platform::WinError next = user->EnumSubKey(index, &name);
      if (next == platform::kErrorNoMoreItems) break;
      if (next != kSuccess) return false;
      names.push_back(name);
    }
    for (const std::string& name : names) {
      std::unique_ptr<RegistryKey> share;
      const platform::WinError share_opened = registry.OpenKey(
          Hive::kLocalMachine, user_path + "\\" + name, platform::kKeyRead, &share);
      if (share_opened == platform::kErrorFileNotFound) continue;
      if (share_opened != kSuccess) return false;
      std::string path;
      if (ReadRegistryText(*share, "Path", kSharedFolderPathValueSize, &path)) {
        entries->push_back(name + "," + path);
      }
    }
    return true;
  } catch (const std::exception&) {
    entries->clear();
    return false;
  }
}

bool ProductSettings::WriteUserSharedFolders(const std::vector<std::string>& names,
                                             const std::vector<std::string>& paths) {
  if (!IsWritableList(names, paths)) return false;
  try {
    std::string user_key;
    if (!ReadUserKeyName(&user_key)) return false;
    std::unique_ptr<RegistryKey> product;
    if (platform_.registry().OpenKey(Hive::kLocalMachine, kWritableProductKey, kWriteAndEnumerate,
                                     &product) != kSuccess) {
      return false;
    }
    if (!RemoveUserSharedFolders(user_key)) return false;
    if (names.empty()) return true;
    return WriteSharedFolderEntries(user_key, names, paths);
  } catch (const std::exception&) {
    return false;
  }
}

bool ProductSettings::RemoveUserSharedFolders(const std::string& user_key) {
  auto& registry = platform_.registry();
  // Only keys that are not there are removed already; any other error leaves entries behind.
  std::unique_ptr<RegistryKey> folders;
  platform::WinError opened =
      registry.OpenKey(Hive::kLocalMachine, kSharedFoldersKey, kWriteAndEnumerate, &folders);
  if (opened == platform::kErrorFileNotFound) return true;
  if (opened != kSuccess) return false;
  std::unique_ptr<RegistryKey> user;
  opened = registry.OpenKey(Hive::kLocalMachine, std::string(kSharedFoldersKey) + "\\" + user_key,
                            kWriteAndEnumerate, &user);
  if (opened == platform::kErrorFileNotFound) return true;
  if (opened != kSuccess) return false;
  // Always the subkey at index 0, until none is left.
  std::string previous;
  for (;;) {
    std::string name;
    const platform::WinError next = user->EnumSubKey(0, &name);
    if (next == platform::kErrorNoMoreItems) return true;
    if (next != kSuccess) return false;
    // A key that a successful deletion did not remove would make this loop endless.
    if (!previous.empty() && name == previous) return false;
    if (user->DeleteSubKey(name) != kSuccess) return false;
    previous = name;
  }
}

bool ProductSettings::WriteSharedFolderEntries(const std::string& user_key,
                                               const std::vector<std::string>& names,
                                               const std::vector<std::string>& paths) {
  auto& registry = platform_.registry();
  std::unique_ptr<RegistryKey> folders;
  if (registry.CreateKey(Hive::kLocalMachine, kSharedFoldersKey, kWriteAndEnumerate, &folders,
                         nullptr) != kSuccess) {
    return false;
  }
  const std::string user_path = std::string(kSharedFoldersKey) + "\\" + user_key;
  for (size_t i = 0; i < names.size(); ++i) {
    std::unique_ptr<RegistryKey> share;
    if (registry.CreateKey(Hive::kLocalMachine, user_path + "\\" + names[i], kWriteAndEnumerate,
                           &share, nullptr) != kSuccess) {
      return false;
    }
    std::vector<uint8_t> data;
    if (!FixedSizeTextData(paths[i], kSharedFolderPathValueSize, &data)) return false;
    if (share->SetValue("Path", platform::kRegSz, data) != kSuccess) return false;
  }
  return true;
}

}  // namespace qdw::settings
