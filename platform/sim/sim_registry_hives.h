// The three stand-in hives of one machine and who may do what with their keys.
//
// Access: with "current_user.admin" false in machine.json, keys of HKEY_LOCAL_MACHINE and
// HKEY_USERS open for reading only (a request with a write right fails with 5). Further
// denials name keys (and everything below them) in machine.json:
//   "registry": {"deny_write": ["HKEY_CURRENT_USER\\Software\\Locked"],
//                "deny_read":  ["HKEY_LOCAL_MACHINE\\SOFTWARE\\Secret"]}
#ifndef QDW_PLATFORM_SIM_SIM_REGISTRY_HIVES_H_
#define QDW_PLATFORM_SIM_SIM_REGISTRY_HIVES_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/registry_hive_file.h"
#include "platform/sim/sim_machine.h"

namespace qdw::sim {

using KeyPath = std::vector<std::string>;

// ERROR_KEY_DELETED: the key was removed while it was open.
inline constexpr platform::WinError kErrorKeyDeleted = 1018;

class SimRegistryHives {
 public:
  explicit SimRegistryHives(SimMachine& machine);

  SimMachine& machine() { return machine_; }
  RegistryHiveFile& File(platform::Hive hive);

  // The hives keep names and texts in UTF-8; the program hands and reads them in the machine's
  // ANSI code page. Data of the text types (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) is converted,
  // other data kept as it is.
  std::string Stored(const std::string& ansi) const;
  std::string ForProgram(const std::string& utf8) const;
  static bool IsText(uint32_t type);
  std::vector<uint8_t> StoredData(uint32_t type, const std::vector<uint8_t>& data) const;
  std::vector<uint8_t> DataForProgram(uint32_t type, const std::vector<uint8_t>& data) const;

  // Splits "SOFTWARE\VARNOLD" into its names ("" is the hive's root; one trailing "\" is
  // allowed). kErrorBadPathname for a leading "\" or an empty name inside.
  static platform::WinError SplitPath(const std::string& path, KeyPath* out);
  // "HKEY_LOCAL_MACHINE\SOFTWARE\VARNOLD" (names as the caller spelt them).
  static std::string FullPath(platform::Hive hive, const KeyPath& path);
  static const RegistryNode* Find(const RegistryNode& root, const KeyPath& path);
  static RegistryNode* Find(RegistryNode& root, const KeyPath& path);

  // The rights a request really asks for (generic rights mapped to key rights).
  static uint32_t EffectiveAccess(uint32_t access);
  static bool AsksToWrite(uint32_t access);
  // kErrorAccessDenied when the current user may not open the key with `access`.
  platform::WinError CheckAccess(platform::Hive hive, const KeyPath& path, uint32_t access);

 private:
  bool Listed(const char* list, platform::Hive hive, const KeyPath& path);

  SimMachine& machine_;
  std::unique_ptr<RegistryHiveFile> files_[3];
};

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_SIM_REGISTRY_HIVES_H_
