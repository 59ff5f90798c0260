#include "settings/product_settings.h"

#include <exception>
#include <memory>

#include "settings/registry_text.h"

namespace qdw::settings {

using platform::Hive;
using platform::kSuccess;
using platform::RegistryKey;

namespace {

constexpr uint32_t kWriteAndEnumerate = platform::kKeyWrite | platform::kKeyEnumerateSubKeys;

}  // namespace

bool ProductSettings::ReadUserRepositoryPath(std::string* path) {
  path->clear();
  try {
    auto& registry = platform_.registry();
    std::unique_ptr<RegistryKey> product;
    if (registry.OpenKey(Hive::kCurrentUser, kProductKey, platform::kKeyRead, &product) !=
        kSuccess) {
      return false;
    }
    std::string first;
    if (!ReadFirstSubKeyName(*product, &first)) return false;
    std::unique_ptr<RegistryKey> settings;
    if (registry.OpenKey(Hive::kCurrentUser, std::string(kProductKey) + "\\" + first,
                         platform::kKeyRead, &settings) != kSuccess) {
      return false;
    }
    std::string text;
    if (!ReadRegistryText(*settings, "Repository Path", kRepositoryPathBufferSize, &text)) {
      return false;
    }
    *path = text;
    return true;
  } catch (const std::exception&) {
    path->clear();
    return false;
  }
}

bool ProductSettings::ReadMachineRepositoryPath(std::string* path) {
  try {
    std::unique_ptr<RegistryKey> key;
    if (platform_.registry().OpenKey(Hive::kLocalMachine, kCommonSettingsKey, platform::kKeyRead,
                                     &key) != kSuccess) {
      return false;
    }
    std::string text;
    if (!ReadRegistryText(*key, "Repository Path", kRepositoryPathBufferSize, &text)) {
      return false;
    }
    *path = text;
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool ProductSettings::ReadProductVersion(std::string* version, bool* share_product_absent) {
  version->clear();
  try {
    auto& registry = platform_.registry();
    std::unique_ptr<RegistryKey> share_key;
    bool share_present = registry.OpenKey(Hive::kLocalMachine, kShareProductKey, platform::kKeyRead,
                                          &share_key) == kSuccess;
    share_key.reset();
    std::unique_ptr<RegistryKey> product;
    if (registry.OpenKey(Hive::kLocalMachine, kProductKey, platform::kKeyRead, &product) !=
        kSuccess) {
      return false;
    }
    std::string text;
    if (!ReadRegistryText(*product, "Display_Version", kVersionBufferSize, &text)) return false;
    *version = text;
    *share_product_absent = !share_present;
    return true;
  } catch (const std::exception&) {
    version->clear();
    return false;
  }
}

bool ProductSettings::ReadProductType(std::string* product_type) {
  try {
    std::unique_ptr<RegistryKey> product;
    if (platform_.registry().OpenKey(Hive::kLocalMachine, kProductKey, platform::kKeyRead,
                                     &product) != kSuccess) {
      return false;
    }
    return ReadRegistryText(*product, "Product_Type", kProductTypeBufferSize, product_type);
  } catch (const std::exception&) {
    return false;
  }
}

bool ProductSettings::CanWriteProductSettings(bool* writable) {
  *writable = false;
  try {
    std::unique_ptr<RegistryKey> key;
    if (platform_.registry().OpenKey(Hive::kLocalMachine, kCommonSettingsKey, kWriteAndEnumerate,
                                     &key) == kSuccess) {
      *writable = true;
    }
    return true;
  } catch (const std::exception&) {
    *writable = false;
    return false;
  }
}

bool ProductSettings::ReadUserKeyName(std::string* name) {
  std::string logon_domain;
  std::string workstation_user;
  if (platform_.shares().WorkstationUser(&logon_domain, &workstation_user) != kSuccess) {
    return false;
  }
  std::string user;
  if (platform_.system().UserName(&user) != kSuccess || user.size() > kMaxUserNameLength) {
    return false;
  }
  *name = logon_domain + "/" + user;
  return true;
}

}  // namespace qdw::settings
