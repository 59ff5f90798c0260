#include "platform/sim/registry_node.h"

#include <utility>

#include "platform/code_page_text.h"

namespace qdw::sim {
namespace {

// Names are kept in UTF-8 and compared as the system compares them, ignoring case.
std::string UpperAnsi(const std::string& name) { return platform::UpperUtf8(name); }
bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
  return a == b || UpperAnsi(a) == UpperAnsi(b);
}

}  // namespace

RegistryNode* RegistryNode::Child(const std::string& name) {
  auto it = children_.find(UpperAnsi(name));
  return it == children_.end() ? nullptr : it->second.get();
}

const RegistryNode* RegistryNode::Child(const std::string& name) const {
  auto it = children_.find(UpperAnsi(name));
  return it == children_.end() ? nullptr : it->second.get();
}

RegistryNode* RegistryNode::AddChild(const std::string& name) {
  std::unique_ptr<RegistryNode>& slot = children_[UpperAnsi(name)];
  if (!slot) slot = std::make_unique<RegistryNode>(name);
  return slot.get();
}

bool RegistryNode::RemoveChild(const std::string& name) {
  return children_.erase(UpperAnsi(name)) > 0;
}

const RegistryValue* RegistryNode::FindValue(const std::string& name) const {
  for (const RegistryValue& value : values_) {
    if (EqualsIgnoreCase(value.name, name)) return &value;
  }
  return nullptr;
}

void RegistryNode::SetValue(RegistryValue value) {
  for (RegistryValue& existing : values_) {
    if (EqualsIgnoreCase(existing.name, value.name)) {
      existing.type = value.type;
      existing.data = std::move(value.data);
      return;
    }
  }
  values_.push_back(std::move(value));
}

bool RegistryNode::RemoveValue(const std::string& name) {
  for (auto it = values_.begin(); it != values_.end(); ++it) {
    if (EqualsIgnoreCase(it->name, name)) {
      values_.erase(it);
      return true;
    }
  }
  return false;
}

}  // namespace qdw::sim
