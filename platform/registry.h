// The registry: keys under the machine, current-user and users hives, holding REG_SZ,
// REG_DWORD and REG_BINARY values. Key paths are case-insensitive and use backslashes.
#ifndef QDW_PLATFORM_REGISTRY_H_
#define QDW_PLATFORM_REGISTRY_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/win_error.h"

namespace qdw::platform {

enum class Hive { kLocalMachine, kCurrentUser, kUsers };

// The name Windows shows for a hive ("HKEY_LOCAL_MACHINE").
constexpr const char* HiveRootName(Hive hive) {
  switch (hive) {
    case Hive::kLocalMachine:
      return "HKEY_LOCAL_MACHINE";
    case Hive::kCurrentUser:
      return "HKEY_CURRENT_USER";
    case Hive::kUsers:
      return "HKEY_USERS";
  }
  return "";
}

// Access rights of OpenKey and CreateKey.
inline constexpr uint32_t kKeyQueryValue = 0x0001;
inline constexpr uint32_t kKeySetValue = 0x0002;
inline constexpr uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr uint32_t kKeyRead = 0x20019;
inline constexpr uint32_t kKeyWrite = 0x20006;

// Value types.
inline constexpr uint32_t kRegNone = 0;
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;
inline constexpr uint32_t kRegMultiSz = 7;

// An open key; closed when destroyed.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // Name of the subkey at `index` in the system's enumeration order; kErrorNoMoreItems past
  // the last one.
  virtual WinError EnumSubKey(uint32_t index, std::string* name) = 0;
  // Name of the value at `index` (RegEnumValue); kErrorNoMoreItems past the last one. Needs
  // kKeyQueryValue.
  virtual WinError EnumValue(uint32_t index, std::string* name) = 0;
  // Reads a value's type and data as stored. When the data is longer than `buffer_size`
  // bytes the call fails with kErrorMoreData and returns nothing, as a fixed buffer would.
  // kErrorFileNotFound when the value is missing.
  virtual WinError QueryValue(const std::string& name, uint32_t buffer_size, uint32_t* type,
                              std::vector<uint8_t>* data) = 0;
  // Needs kKeySetValue; kErrorAccessDenied otherwise.
  virtual WinError SetValue(const std::string& name, uint32_t type,
                            const std::vector<uint8_t>& data) = 0;
  virtual WinError DeleteValue(const std::string& name) = 0;
  // Deletes a direct subkey that has no subkeys of its own (kErrorAccessDenied otherwise,
  // as RegDeleteKey does).
  virtual WinError DeleteSubKey(const std::string& name) = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  // kErrorFileNotFound when the key is missing; kErrorAccessDenied when the caller may not
  // open it with `access` (for example a user without administrator rights asking to write a
  // machine key).
  virtual WinError OpenKey(Hive hive, const std::string& path, uint32_t access,
                           std::unique_ptr<RegistryKey>* out) = 0;
  // Opens the key, creating it and every missing level on the way. `*created` (optional)
  // tells whether the key was new.
  virtual WinError CreateKey(Hive hive, const std::string& path, uint32_t access,
                             std::unique_ptr<RegistryKey>* out, bool* created) = 0;
};

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_REGISTRY_H_
