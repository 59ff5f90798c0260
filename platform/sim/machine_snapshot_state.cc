// The machine's state documents in a snapshot: shares, registry hives and services.
#include <fstream>
#include <map>
#include <sstream>

#include "platform/registry.h"
#include "platform/sim/machine_snapshot_parts.h"
#include "platform/sim/regedit4_format.h"
#include "platform/sim/sim_share_table.h"

namespace qdw::sim::snapshot {
namespace {

std::string OptionalText(const std::optional<std::string>& text) {
  return text ? Quoted(*text) : std::string("null");
}

void AddShareLines(const SimMachine& machine, std::vector<std::string>* lines) {
  Json document = machine.store().Read("shares.json");
  Json shares = document.value("shares", Json::array());
  if (!shares.is_array()) return;
  int code_page = machine.CodePage();
  for (const Json& entry : shares) {
    platform::ShareInfo share = SimShareTable::FromJson(entry);
    std::string fields = "name=" + Quoted(share.name) + " type=" + std::to_string(share.type) +
                         " path=" + OptionalText(share.path) +
                         " remark=" + OptionalText(share.remark) +
                         " max_uses=" + std::to_string(share.max_uses) +
                         " permissions=" + std::to_string(share.permissions) +
                         " password=" + OptionalText(share.password) + " security=";
    if (!share.security) {
      fields += "none";
    } else if (!share.security->dacl_present) {
      fields += "no-dacl";
    } else {
      fields += AclText(share.security->dacl);
    }
    lines->push_back(Line("share", FoldedKey(code_page, share.name), fields));
  }
}

bool IsPlainText(const RegistryValue& value) {
  if (value.type != platform::kRegSz || value.data.empty() || value.data.back() != 0) return false;
  for (size_t i = 0; i + 1 < value.data.size(); ++i) {
    if (value.data[i] == 0) return false;
  }
  return true;
}

std::string DataText(const RegistryValue& value) {
  if (IsPlainText(value)) {
    return Quoted(std::string(value.data.begin(), value.data.end() - 1));
  }
  static const char kHex[] = "0123456789abcdef";
  std::string hex = "hex:";
  for (uint8_t byte : value.data) {
    hex += kHex[byte >> 4];
    hex += kHex[byte & 0xF];
  }
  return hex;
}

// A value is named by its key and its quoted name (the default value by "").
std::string ValueLine(const std::string& key, const RegistryValue& value, int code_page) {
  return Line("value", key + " " + Quoted(FoldedKey(code_page, value.name)),
              "name=" + Quoted(value.name) + " type=" + std::to_string(value.type) +
                  " data=" + DataText(value));
}

void AddKeyLines(const RegistryNode& node, const std::string& key, int code_page,
                 std::vector<std::string>* lines) {
  lines->push_back(Line("key", key, "name=" + Quoted(node.name())));
  for (const RegistryValue& value : node.values()) {
    lines->push_back(ValueLine(key, value, code_page));
  }
  for (const auto& [upper, child] : node.children()) {
    AddKeyLines(*child, key + "\\" + FoldedKey(code_page, child->name()), code_page, lines);
  }
}

void AddRegistryLines(const SimMachine& machine, std::vector<std::string>* lines) {
  int code_page = machine.CodePage();
  for (const char* hive : {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER", "HKEY_USERS"}) {
    static const std::map<std::string, std::string> kFiles = {
        {"HKEY_LOCAL_MACHINE", "HKLM"}, {"HKEY_CURRENT_USER", "HKCU"}, {"HKEY_USERS", "HKU"}};
    std::ifstream in(machine.store().HostPath("registry/" + kFiles.at(hive) + ".reg"),
                     std::ios::binary);
    std::stringstream text;
    if (in) text << in.rdbuf();
    RegistryNode root(hive);
    std::string error;
    if (!ParseRegedit4(text.str(), hive, &root, &error)) {
      lines->push_back(Line("key", hive, "unreadable=" + Quoted(error)));
      continue;
    }
    for (const auto& [upper, child] : root.children()) {
      AddKeyLines(*child, std::string(hive) + "\\" + FoldedKey(code_page, child->name()), code_page,
                  lines);
    }
    // Values of the hive's root itself are rare but observable.
    for (const RegistryValue& value : root.values()) {
      lines->push_back(ValueLine(hive, value, code_page));
    }
  }
}

void AddServiceLines(const SimMachine& machine, std::vector<std::string>* lines) {
  Json services = machine.store().Read("services.json");
  if (!services.is_object()) return;
  int code_page = machine.CodePage();
  for (auto it = services.begin(); it != services.end(); ++it) {
    if (!it->is_object()) continue;
    lines->push_back(Line("service", FoldedKey(code_page, it.key()),
                          "name=" + Quoted(it.key()) +
                              " state=" + it->value("state", std::string("stopped")) +
                              " start_type=" + it->value("start_type", std::string("auto"))));
  }
}

}  // namespace

void AddStateLines(const SimMachine& machine, const SnapshotOptions& options,
                   std::vector<std::string>* lines) {
  AddShareLines(machine, lines);
  AddRegistryLines(machine, lines);
  if (options.services) AddServiceLines(machine, lines);
}

}  // namespace qdw::sim::snapshot
