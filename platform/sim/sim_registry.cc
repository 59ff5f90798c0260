// The registry port of the stand-in machine: hives in REGEDIT4 files, keys opened by path.
#include <memory>

#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_ports.h"
#include "platform/sim/sim_registry_hives.h"
#include "platform/sim/sim_registry_key.h"

namespace qdw::sim {
namespace {

using platform::Hive;
using platform::WinError;

class SimRegistry : public platform::Registry {
 public:
  explicit SimRegistry(SimMachine& machine) : hives_(std::make_shared<SimRegistryHives>(machine)) {}

  WinError OpenKey(Hive hive, const std::string& path, uint32_t access,
                   std::unique_ptr<platform::RegistryKey>* out) override {
    out->reset();
    KeyPath names;
    if (WinError error = SimRegistryHives::SplitPath(hives_->Stored(path), &names)) return error;
    if (WinError fault = hives_->machine().faults().Check(
            "Registry.OpenKey", SimRegistryHives::FullPath(hive, names))) {
      return fault;
    }
    WinError result = hives_->File(hive).Read([&](const RegistryNode& root) -> WinError {
      return SimRegistryHives::Find(root, names) ? platform::kSuccess
                                                 : platform::kErrorFileNotFound;
    });
    if (result != platform::kSuccess) return result;
    if (WinError denied = hives_->CheckAccess(hive, names, access)) return denied;
    *out = std::make_unique<SimRegistryKey>(hives_, hive, names, access);
    return platform::kSuccess;
  }

  WinError CreateKey(Hive hive, const std::string& path, uint32_t access,
                     std::unique_ptr<platform::RegistryKey>* out, bool* created) override {
    out->reset();
    if (created) *created = false;
    KeyPath names;
    if (WinError error = SimRegistryHives::SplitPath(hives_->Stored(path), &names)) return error;
    if (WinError fault = hives_->machine().faults().Check(
            "Registry.CreateKey", SimRegistryHives::FullPath(hive, names))) {
      return fault;
    }
    if (WinError denied = hives_->CheckAccess(hive, names, access)) return denied;
    bool exists = false;
    WinError result = hives_->File(hive).Read([&](const RegistryNode& root) -> WinError {
      exists = SimRegistryHives::Find(root, names) != nullptr;
      return platform::kSuccess;
    });
    if (result != platform::kSuccess) return result;
    if (!exists) {
      // Making a key is a write, whatever rights the new handle asks for.
      if (WinError denied = hives_->CheckAccess(hive, names, platform::kKeyCreateSubKey)) {
        return denied;
      }
      bool made = false;
      result = hives_->File(hive).Update([&](RegistryNode& root, bool* changed) -> WinError {
        RegistryNode* node = &root;
        for (const std::string& name : names) {
          RegistryNode* child = node->Child(name);
          if (child == nullptr) {
            child = node->AddChild(name);
            made = true;
          }
          node = child;
        }
        *changed = made;
        return platform::kSuccess;
      });
      if (result != platform::kSuccess) return result;
      if (created) *created = made;
    }
    *out = std::make_unique<SimRegistryKey>(hives_, hive, names, access);
    return platform::kSuccess;
  }

 private:
  std::shared_ptr<SimRegistryHives> hives_;
};

}  // namespace

std::unique_ptr<platform::Registry> NewSimRegistry(SimMachine& machine) {
  return std::make_unique<SimRegistry>(machine);
}

}  // namespace qdw::sim
