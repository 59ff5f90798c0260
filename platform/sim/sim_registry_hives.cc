#include "platform/sim/sim_registry_hives.h"

#include "platform/code_page_text.h"
#include "platform/windows_path.h"

namespace qdw::sim {

using platform::Hive;
using platform::WinError;

namespace {

constexpr uint32_t kDelete = 0x10000;
constexpr uint32_t kWriteDac = 0x40000;
constexpr uint32_t kWriteOwner = 0x80000;
constexpr uint32_t kKeyCreateLink = 0x0020;
constexpr uint32_t kGenericRead = 0x80000000;
constexpr uint32_t kGenericWrite = 0x40000000;
constexpr uint32_t kGenericAll = 0x10000000;
constexpr uint32_t kKeyAllAccess = 0xF003F;

int HiveIndex(Hive hive) {
  switch (hive) {
    case Hive::kLocalMachine:
      return 0;
    case Hive::kCurrentUser:
      return 1;
    case Hive::kUsers:
      return 2;
  }
  return 0;
}

}  // namespace

SimRegistryHives::SimRegistryHives(SimMachine& machine) : machine_(machine) {
  const MachineStore& store = machine.store();
  files_[0] = std::make_unique<RegistryHiveFile>(store, "registry/HKLM.reg", "HKEY_LOCAL_MACHINE");
  files_[1] = std::make_unique<RegistryHiveFile>(store, "registry/HKCU.reg", "HKEY_CURRENT_USER");
  files_[2] = std::make_unique<RegistryHiveFile>(store, "registry/HKU.reg", "HKEY_USERS");
}

RegistryHiveFile& SimRegistryHives::File(Hive hive) { return *files_[HiveIndex(hive)]; }

std::string SimRegistryHives::Stored(const std::string& ansi) const {
  std::string utf8;
  platform::AnsiToUtf8(machine_.CodePage(), ansi, &utf8);
  return utf8;
}

std::string SimRegistryHives::ForProgram(const std::string& utf8) const {
  std::string ansi;
  platform::Utf8ToAnsi(machine_.CodePage(), utf8, &ansi);
  return ansi;
}

bool SimRegistryHives::IsText(uint32_t type) {
  return type == platform::kRegSz || type == platform::kRegExpandSz ||
         type == platform::kRegMultiSz;
}

std::vector<uint8_t> SimRegistryHives::StoredData(uint32_t type,
                                                  const std::vector<uint8_t>& data) const {
  if (!IsText(type)) return data;
  std::string text = Stored(std::string(data.begin(), data.end()));
  return std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<uint8_t> SimRegistryHives::DataForProgram(uint32_t type,
                                                      const std::vector<uint8_t>& data) const {
  if (!IsText(type)) return data;
  std::string text = ForProgram(std::string(data.begin(), data.end()));
  return std::vector<uint8_t>(text.begin(), text.end());
}

WinError SimRegistryHives::SplitPath(const std::string& path, KeyPath* out) {
  out->clear();
  std::string text = path;
  if (!text.empty() && text.back() == '\\') text.pop_back();
  if (text.empty()) return platform::kSuccess;
  size_t start = 0;
  while (true) {
    size_t slash = text.find('\\', start);
    std::string name = text.substr(start, slash == std::string::npos ? slash : slash - start);
    // A line break could not be kept in the hive's text file.
    if (name.empty() || name.size() > 255 || name.find_first_of("\r\n") != std::string::npos) {
      return platform::kErrorBadPathname;
    }
    out->push_back(name);
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  return platform::kSuccess;
}

std::string SimRegistryHives::FullPath(Hive hive, const KeyPath& path) {
  std::string text = platform::HiveRootName(hive);
  for (const std::string& name : path) text += "\\" + name;
  return text;
}

const RegistryNode* SimRegistryHives::Find(const RegistryNode& root, const KeyPath& path) {
  const RegistryNode* node = &root;
  for (const std::string& name : path) {
    node = node->Child(name);
    if (node == nullptr) return nullptr;
  }
  return node;
}

RegistryNode* SimRegistryHives::Find(RegistryNode& root, const KeyPath& path) {
  RegistryNode* node = &root;
  for (const std::string& name : path) {
    node = node->Child(name);
    if (node == nullptr) return nullptr;
  }
  return node;
}

uint32_t SimRegistryHives::EffectiveAccess(uint32_t access) {
  uint32_t effective = access & ~(kGenericRead | kGenericWrite | kGenericAll);
  if (access & kGenericRead) effective |= platform::kKeyRead;
  if (access & kGenericWrite) effective |= platform::kKeyWrite;
  if (access & kGenericAll) effective |= kKeyAllAccess;
  return effective;
}

bool SimRegistryHives::AsksToWrite(uint32_t access) {
  uint32_t write_rights = platform::kKeySetValue | platform::kKeyCreateSubKey | kKeyCreateLink |
                          kDelete | kWriteDac | kWriteOwner;
  return (EffectiveAccess(access) & write_rights) != 0;
}

// True when a key named in machine.json "registry" -> `list` is `path` or one of its parents.
bool SimRegistryHives::Listed(const char* list, Hive hive, const KeyPath& path) {
  auto description = machine_.Description();
  auto registry = description->find("registry");
  if (registry == description->end() || !registry->is_object()) return false;
  auto entries = registry->find(list);
  if (entries == registry->end() || !entries->is_array()) return false;
  std::string full = platform::UpperUtf8(FullPath(hive, path)) + "\\";
  for (const Json& entry : *entries) {
    if (!entry.is_string()) continue;
    std::string listed = platform::UpperUtf8(entry.get<std::string>());
    for (auto [short_name, long_name] :
         {std::pair<const char*, const char*>{"HKLM", "HKEY_LOCAL_MACHINE"},
          {"HKCU", "HKEY_CURRENT_USER"},
          {"HKU", "HKEY_USERS"}}) {
      std::string prefix = std::string(short_name) + "\\";
      if (listed.compare(0, prefix.size(), prefix) == 0) {
        listed = std::string(long_name) + listed.substr(std::string(short_name).size());
      }
    }
    if (!listed.empty() && listed.back() != '\\') listed += "\\";
    if (full.compare(0, listed.size(), listed) == 0) return true;
  }
  return false;
}

WinError SimRegistryHives::CheckAccess(Hive hive, const KeyPath& path, uint32_t access) {
  if (Listed("deny_read", hive, path)) return platform::kErrorAccessDenied;
  if (!AsksToWrite(access)) return platform::kSuccess;
  if (hive != Hive::kCurrentUser && !machine_.CurrentUser().admin) {
    return platform::kErrorAccessDenied;
  }
  if (Listed("deny_write", hive, path)) return platform::kErrorAccessDenied;
  return platform::kSuccess;
}

}  // namespace qdw::sim
