#include "platform/sim/sim_machine.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "platform/code_page_text.h"
#include "platform/sim/sim_metadata.h"
#include "platform/sim/sim_paths.h"
#include "platform/sim/watched_stat.h"
#include "platform/windows_path.h"

namespace qdw::sim {
namespace {

void MakeHostFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) {
    throw std::runtime_error("cannot create folder " + path);
  }
}

// The field `key` of `object` when it has the type asked for, `fallback` otherwise.
bool FlagOf(const Json& object, const char* key, bool fallback) {
  auto field = object.find(key);
  return field != object.end() && field->is_boolean() ? field->get<bool>() : fallback;
}

bool TextIs(const Json& object, const char* key, const char* text, bool when_absent) {
  auto field = object.find(key);
  if (field == object.end()) return when_absent;
  return field->is_string() && field->get_ref<const std::string&>() == text;
}

SimMachine::FileFacts FileFactsOf(const Json& description) {
  SimMachine::FileFacts facts;
  auto code_page = description.find("code_page");
  if (code_page != description.end() && code_page->is_number_integer()) {
    facts.code_page = code_page->get<int>();
  }
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const Json* drive = SimMachine::DriveEntry(description, letter);
    if (drive == nullptr || !drive->is_object()) continue;
    SimMachine::DriveFacts& facts_of_drive = facts.drives[letter - 'A'];
    facts_of_drive.present = true;
    facts_of_drive.ready = FlagOf(*drive, "ready", true);
    facts_of_drive.cdrom = TextIs(*drive, "type", "cdrom", /*when_absent=*/false);
    facts_of_drive.ntfs = TextIs(*drive, "fs", "NTFS", /*when_absent=*/true);
  }
  return facts;
}

}  // namespace

SimMachine::SimMachine(const std::string& folder) : store_(folder), faults_(store_) {
  if (!IsMachineFolder(folder)) {
    throw std::runtime_error("not a stand-in machine (no machine.json): " + folder);
  }
  Description();  // a damaged description is reported now, not at the first port call
  // A process killed in the middle of a move left its metadata's half undone.
  MetadataStore(folder).RecoverMoves();
}

std::string SimMachine::MachineFolderFromEnvironment() {
  const char* value = std::getenv("QDW_MACHINE");
  return value ? std::string(value) : std::string();
}

bool SimMachine::IsMachineFolder(const std::string& folder) {
  struct stat st;
  return !folder.empty() && ::stat((folder + "/machine.json").c_str(), &st) == 0 &&
         S_ISREG(st.st_mode);
}

void SimMachine::CreateMachineFolder(const std::string& folder, const Json& description) {
  MakeHostFolder(folder);
  for (const char* sub : {"drives", "meta", "registry"}) MakeHostFolder(folder + "/" + sub);
  MachineStore(folder).Write("machine.json", description);
}

std::array<std::string, SimMachine::kDriveLetters> SimMachine::DriveFolders(
    const MachineStore& store) {
  std::array<std::string, kDriveLetters> folders;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    folders[letter - 'A'] = store.HostPath("drives/") + letter;
  }
  return folders;
}

void SimMachine::RefreshDescription() const {
  int64_t stamp = 0;
  int64_t size = 0;
  {
    std::lock_guard<std::mutex> lock(description_mutex_);
    struct stat st;
    if (WatchedStat(description_path_, &st) != 0) {
      throw std::runtime_error("machine description is gone: " + description_path_);
    }
    stamp = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp ^= static_cast<int64_t>(st.st_ino) << 20;
    size = st.st_size;
    if (description_ && stamp == description_stamp_ && size == description_size_) return;
  }
  // Read without the description's mutex: the read takes the machine lock, and a registry
  // write asks for the description while it holds that lock, so the two never nest the other
  // way round. Two threads may both read; each keeps a whole description.
  auto description = std::make_shared<const Json>(store_.Read("machine.json"));
  auto facts = std::make_shared<const FileFacts>(FileFactsOf(*description));
  std::lock_guard<std::mutex> lock(description_mutex_);
  description_ = std::move(description);
  facts_ = std::move(facts);
  description_stamp_ = stamp;
  description_size_ = size;
}

std::shared_ptr<const Json> SimMachine::Description() const {
  RefreshDescription();
  std::lock_guard<std::mutex> lock(description_mutex_);
  return description_;
}

std::shared_ptr<const SimMachine::FileFacts> SimMachine::Facts() const {
  RefreshDescription();
  std::lock_guard<std::mutex> lock(description_mutex_);
  return facts_;
}

Json SimMachine::DriveDescription(char letter) const {
  const Json* drive = DriveEntry(*Description(), letter);
  return drive != nullptr ? *drive : Json(nullptr);
}

const Json* SimMachine::DriveEntry(const Json& description, char letter) {
  std::string key(1, platform::ToUpperAnsi(letter));
  auto drives = description.find("drives");
  if (drives == description.end() || !drives->is_object()) return nullptr;
  auto drive = drives->find(key);
  return drive == drives->end() ? nullptr : &*drive;
}

int SimMachine::CodePage(const Json& description) {
  return description.value("code_page", platform::kAnsiCodePageWestern);
}

const std::string& SimMachine::DriveFolder(char letter) const {
  const std::string& root = drive_folders_[letter - 'A'];
  struct stat st;
  if (WatchedStat(root, &st) != 0) {
    MakeHostFolder(store_.HostPath("drives"));
    MakeHostFolder(root);
  }
  return root;
}

bool SimMachine::DriveHostRoot(char letter, std::string* host) const {
  char upper = platform::ToUpperAnsi(letter);
  if (upper < 'A' || upper > 'Z' || DriveDescription(upper).is_null()) return false;
  *host = DriveFolder(upper);
  return true;
}

bool SimMachine::ToHostPath(const std::string& windows_path, std::string* host) const {
  const int code_page = CodePage();
  WindowsPathParts parts;
  if (SplitWindowsPath(windows_path, &parts, code_page) != platform::kSuccess) return false;
  // Junctions on the way lead on to their targets, as in the file system port.
  for (int hops = 0; hops < 32; ++hops) {
    std::string root;
    if (!DriveHostRoot(parts.drive, &root)) return false;
    size_t junction = std::string::npos;
    *host = ResolveHostComponents(root, parts.components, code_page, &junction);
    if (junction == std::string::npos) return true;
    WindowsPathParts target;
    if (!ReadJunctionTarget(*host, code_page, &target)) return false;
    target.components.insert(target.components.end(),
                             parts.components.begin() + static_cast<long>(junction) + 1,
                             parts.components.end());
    parts = std::move(target);
  }
  return false;
}

int SimMachine::CodePage() const { return CodePage(*Description()); }

std::string SimMachine::ComputerName() const {
  return Description()->value("computer_name", std::string("WORKSTATION"));
}

SimUser SimMachine::CurrentUser() const {
  SimUser user;
  auto description = Description();
  Json current = description->value("current_user", Json::object());
  user.name = current.value("name", std::string("jo"));
  user.domain = current.value("domain", ComputerName());
  user.sid = current.value("sid", std::string());
  user.admin = current.value("admin", false);
  user.may_control_services = current.value("may_control_services", user.admin);
  return user;
}

platform::OsVersion SimMachine::Version() const {
  platform::OsVersion version;
  Json os = Description()->value("os_version", Json::object());
  version.platform_id = os.value("platform_id", version.platform_id);
  version.major = os.value("major", version.major);
  version.minor = os.value("minor", version.minor);
  version.build = os.value("build", version.build);
  return version;
}

int32_t SimMachine::TimeZoneOffsetMinutes() const {
  return Description()->value("time_zone_offset_minutes", 0);
}

namespace {

// The host variable that holds what this process set for `name`: "=" and the value, or "-"
// for a variable it removed.
std::string ProcessSetting(const std::string& name) {
  return "QDW_SIM_SET_" + platform::UpperAnsi(name);
}

}  // namespace

bool SimMachine::SetProcessEnvironment(const std::string& name,
                                       const std::optional<std::string>& value) {
  if (name.empty() || name.find('=') != std::string::npos) return false;
  const std::string setting = value ? "=" + *value : "-";
  return ::setenv(ProcessSetting(name).c_str(), setting.c_str(), 1) == 0;
}

bool SimMachine::EnvironmentVariable(const std::string& name, std::string* value) const {
  if (const char* set = name.empty() ? nullptr : std::getenv(ProcessSetting(name).c_str())) {
    if (set[0] != '=') return false;
    *value = set + 1;
    return true;
  }
  auto description = Description();
  auto environment = description->find("environment");
  if (environment != description->end() && environment->is_object()) {
    for (auto it = environment->begin(); it != environment->end(); ++it) {
      if (platform::EqualsIgnoreCase(it.key(), name) && it->is_string()) {
        // The description is UTF-8; the program reads the machine's code page.
        platform::Utf8ToAnsi(CodePage(), it->get<std::string>(), value);
        return true;
      }
    }
  }
  const char* process_value = name.empty() ? nullptr : std::getenv(name.c_str());
  if (process_value == nullptr) return false;
  *value = process_value;
  return true;
}

}  // namespace qdw::sim
