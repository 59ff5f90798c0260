#include "platform/sim/sim_registry_key.h"

#include <utility>

namespace qdw::sim {

using platform::WinError;

SimRegistryKey::SimRegistryKey(std::shared_ptr<SimRegistryHives> hives, platform::Hive hive,
                               KeyPath path, uint32_t access)
    : hives_(std::move(hives)),
      hive_(hive),
      path_(std::move(path)),
      access_(SimRegistryHives::EffectiveAccess(access)) {}

WinError SimRegistryKey::Fault(const std::string& operation, const std::string& suffix) {
  std::string path = SimRegistryHives::FullPath(hive_, path_);
  if (!suffix.empty()) path += "\\" + hives_->Stored(suffix);
  return hives_->machine().faults().Check(operation, path);
}

WinError SimRegistryKey::EnumSubKey(uint32_t index, std::string* name) {
  name->clear();
  if (WinError fault = Fault("Registry.EnumSubKey")) return fault;
  if (!Has(platform::kKeyEnumerateSubKeys)) return platform::kErrorAccessDenied;
  return hives_->File(hive_).Read([&](const RegistryNode& root) -> WinError {
    const RegistryNode* node = SimRegistryHives::Find(root, path_);
    if (node == nullptr) return kErrorKeyDeleted;
    if (index >= node->children().size()) return platform::kErrorNoMoreItems;
    auto it = node->children().begin();
    std::advance(it, index);
    *name = hives_->ForProgram(it->second->name());
    return platform::kSuccess;
  });
}

WinError SimRegistryKey::EnumValue(uint32_t index, std::string* name) {
  name->clear();
  if (WinError fault = Fault("Registry.EnumValue")) return fault;
  if (!Has(platform::kKeyQueryValue)) return platform::kErrorAccessDenied;
  return hives_->File(hive_).Read([&](const RegistryNode& root) -> WinError {
    const RegistryNode* node = SimRegistryHives::Find(root, path_);
    if (node == nullptr) return kErrorKeyDeleted;
    if (index >= node->values().size()) return platform::kErrorNoMoreItems;
    *name = hives_->ForProgram(node->values()[index].name);
    return platform::kSuccess;
  });
}

WinError SimRegistryKey::QueryValue(const std::string& name, uint32_t buffer_size, uint32_t* type,
                                    std::vector<uint8_t>* data) {
  data->clear();
  if (WinError fault = Fault("Registry.QueryValue", name)) return fault;
  if (!Has(platform::kKeyQueryValue)) return platform::kErrorAccessDenied;
  return hives_->File(hive_).Read([&](const RegistryNode& root) -> WinError {
    const RegistryNode* node = SimRegistryHives::Find(root, path_);
    if (node == nullptr) return kErrorKeyDeleted;
    const RegistryValue* value = node->FindValue(hives_->Stored(name));
    if (value == nullptr) return platform::kErrorFileNotFound;
    if (type != nullptr) *type = value->type;
    std::vector<uint8_t> converted = hives_->DataForProgram(value->type, value->data);
    if (converted.size() > buffer_size) return platform::kErrorMoreData;
    *data = std::move(converted);
    return platform::kSuccess;
  });
}

WinError SimRegistryKey::SetValue(const std::string& name, uint32_t type,
                                  const std::vector<uint8_t>& data) {
  if (WinError fault = Fault("Registry.SetValue", name)) return fault;
  if (!Has(platform::kKeySetValue)) return platform::kErrorAccessDenied;
  // The hive's text file keeps one value per line.
  if (name.find_first_of("\r\n") != std::string::npos) return platform::kErrorInvalidParameter;
  return hives_->File(hive_).Update([&](RegistryNode& root, bool* changed) -> WinError {
    RegistryNode* node = SimRegistryHives::Find(root, path_);
    if (node == nullptr) return kErrorKeyDeleted;
    node->SetValue(RegistryValue{hives_->Stored(name), type, hives_->StoredData(type, data)});
    *changed = true;
    return platform::kSuccess;
  });
}

WinError SimRegistryKey::DeleteValue(const std::string& name) {
  if (WinError fault = Fault("Registry.DeleteValue", name)) return fault;
  if (!Has(platform::kKeySetValue)) return platform::kErrorAccessDenied;
  return hives_->File(hive_).Update([&](RegistryNode& root, bool* changed) -> WinError {
    RegistryNode* node = SimRegistryHives::Find(root, path_);
    if (node == nullptr) return kErrorKeyDeleted;
    if (!node->RemoveValue(hives_->Stored(name))) return platform::kErrorFileNotFound;
    *changed = true;
    return platform::kSuccess;
  });
}

WinError SimRegistryKey::DeleteSubKey(const std::string& name) {
  KeyPath relative;
  if (WinError error = SimRegistryHives::SplitPath(hives_->Stored(name), &relative)) {
    return error;
  }
  // RegDeleteKey needs a subkey; an empty name would name this key itself.
  if (relative.empty()) return platform::kErrorAccessDenied;
  KeyPath target = path_;
  target.insert(target.end(), relative.begin(), relative.end());
  if (WinError fault = hives_->machine().faults().Check(
          "Registry.DeleteSubKey", SimRegistryHives::FullPath(hive_, target))) {
    return fault;
  }
  // The handle's own rights do not matter; the right to delete the subkey does.
  if (WinError denied = hives_->CheckAccess(hive_, target, 0x10000)) return denied;
  return hives_->File(hive_).Update([&](RegistryNode& root, bool* changed) -> WinError {
    if (SimRegistryHives::Find(root, path_) == nullptr) return kErrorKeyDeleted;
    KeyPath parent_path(target.begin(), target.end() - 1);
    RegistryNode* parent = SimRegistryHives::Find(root, parent_path);
    RegistryNode* child = parent ? parent->Child(target.back()) : nullptr;
    if (child == nullptr) return platform::kErrorFileNotFound;
    if (!child->children().empty()) return platform::kErrorAccessDenied;
    parent->RemoveChild(target.back());
    *changed = true;
    return platform::kSuccess;
  });
}

}  // namespace qdw::sim
