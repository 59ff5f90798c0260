// An open key of a stand-in hive. It holds the key's path, not the key itself: every call
// looks the key up in the newest hive, so changes by other processes are seen and a key
// removed meanwhile reports ERROR_KEY_DELETED.
#ifndef QDW_PLATFORM_SIM_SIM_REGISTRY_KEY_H_
#define QDW_PLATFORM_SIM_SIM_REGISTRY_KEY_H_

#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/sim_registry_hives.h"

namespace qdw::sim {

class SimRegistryKey : public platform::RegistryKey {
 public:
  SimRegistryKey(std::shared_ptr<SimRegistryHives> hives, platform::Hive hive, KeyPath path,
                 uint32_t access);

  platform::WinError EnumSubKey(uint32_t index, std::string* name) override;
  platform::WinError EnumValue(uint32_t index, std::string* name) override;
  platform::WinError QueryValue(const std::string& name, uint32_t buffer_size, uint32_t* type,
                                std::vector<uint8_t>* data) override;
  platform::WinError SetValue(const std::string& name, uint32_t type,
                              const std::vector<uint8_t>& data) override;
  platform::WinError DeleteValue(const std::string& name) override;
  platform::WinError DeleteSubKey(const std::string& name) override;

 private:
  bool Has(uint32_t right) const { return (access_ & right) == right; }
  platform::WinError Fault(const std::string& operation, const std::string& suffix = "");

  std::shared_ptr<SimRegistryHives> hives_;
  platform::Hive hive_;
  KeyPath path_;
  uint32_t access_;
};

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_SIM_REGISTRY_KEY_H_
