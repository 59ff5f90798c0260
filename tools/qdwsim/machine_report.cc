// qdwsim show: the machine's state as one JSON document.
#include <filesystem>
#include <iostream>

#include "platform/sim/sim_platform.h"
#include "tools/qdwsim/qdwsim.h"

namespace qdw::qdwsim {
namespace {

using sim::Json;

std::string TextOf(const std::vector<uint8_t>& data) {
  std::string text(data.begin(), data.end());
  size_t zero = text.find('\0');
  return zero == std::string::npos ? text : text.substr(0, zero);
}

// A key with its values and subkeys, as far as the caller may read them.
Json DumpKey(platform::Registry& registry, platform::Hive hive, const std::string& path) {
  std::unique_ptr<platform::RegistryKey> key;
  if (registry.OpenKey(hive, path, platform::kKeyRead, &key) != platform::kSuccess) return nullptr;
  Json out = Json::object();
  std::string name;
  for (uint32_t i = 0; key->EnumSubKey(i, &name) == platform::kSuccess; ++i) {
    out[name] = DumpKey(registry, hive, path + "\\" + name);
  }
  for (const char* value : {"Display_Version", "Product_Type", "Repository Path", "Path"}) {
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (key->QueryValue(value, 1 << 16, &type, &data) == platform::kSuccess) {
      out[std::string("\"") + value + "\""] = TextOf(data);
    }
  }
  return out;
}

Json TreeSize(const std::string& host_folder) {
  uint64_t files = 0, bytes = 0;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(host_folder, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_regular_file()) {
      ++files;
      bytes += it->file_size();
    }
  }
  return {{"files", files}, {"bytes", bytes}};
}

}  // namespace

int Show(const Args& args) {
  if (args.size() != 1) throw UsageError("show takes one folder");
  RequireMachine(args[0]);
  std::unique_ptr<sim::SimPlatform> machine = sim::OpenSimMachine(args[0]);
  const sim::MachineStore& store = machine->machine().store();
  Json report;
  report["description"] = *machine->machine().Description();
  for (const char* doc : {"services", "shares", "processes", "locks", "faults"}) {
    report[doc] = store.Read(std::string(doc) + ".json");
  }
  report["registry"] = {
      {"HKLM\\SOFTWARE\\VARNOLD",
       DumpKey(machine->registry(), platform::Hive::kLocalMachine, "SOFTWARE\\VARNOLD")},
      {"HKCU\\SOFTWARE\\VARNOLD",
       DumpKey(machine->registry(), platform::Hive::kCurrentUser, "SOFTWARE\\VARNOLD")}};
  Json drives = Json::object();
  for (auto& [letter, unused] : report["description"]["drives"].items()) {
    (void)unused;
    std::string host;
    if (machine->machine().DriveHostRoot(letter[0], &host)) drives[letter] = TreeSize(host);
  }
  report["drive_contents"] = drives;
  std::cout << report.dump(2) << "\n";
  return 0;
}

}  // namespace qdw::qdwsim
