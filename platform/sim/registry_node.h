// One registry key of a stand-in hive held in memory: its values and its subkeys. Names of
// keys and values are compared ignoring case; subkeys are kept in the order Windows
// enumerates them (sorted by upper-case name), values in the order they were first set.
#ifndef QDW_PLATFORM_SIM_REGISTRY_NODE_H_
#define QDW_PLATFORM_SIM_REGISTRY_NODE_H_

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qdw::sim {

struct RegistryValue {
  std::string name;  // empty for the default value ("@")
  uint32_t type = 0;
  std::vector<uint8_t> data;
};

class RegistryNode {
 public:
  explicit RegistryNode(std::string name) : name_(std::move(name)) {}
  RegistryNode(const RegistryNode&) = delete;
  RegistryNode& operator=(const RegistryNode&) = delete;

  const std::string& name() const { return name_; }

  // Subkeys by upper-case name.
  const std::map<std::string, std::unique_ptr<RegistryNode>>& children() const { return children_; }
  RegistryNode* Child(const std::string& name);
  const RegistryNode* Child(const std::string& name) const;
  // The existing subkey of that name, or a new one spelt as given.
  RegistryNode* AddChild(const std::string& name);
  bool RemoveChild(const std::string& name);

  const std::vector<RegistryValue>& values() const { return values_; }
  const RegistryValue* FindValue(const std::string& name) const;
  // Replaces the value of that name (keeping its place and first spelling) or appends it.
  void SetValue(RegistryValue value);
  bool RemoveValue(const std::string& name);

 private:
  std::string name_;
  std::map<std::string, std::unique_ptr<RegistryNode>> children_;
  std::vector<RegistryValue> values_;
};

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_REGISTRY_NODE_H_
