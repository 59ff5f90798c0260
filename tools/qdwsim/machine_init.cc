// qdwsim init: a machine with the product installed, as its registry settings, database,
// shares and services describe it.
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "database/sample/sample_repository.h"
#include "platform/sim/sim_platform.h"
#include "platform/windows_path.h"
#include "tools/qdwsim/machine_description.h"
#include "tools/qdwsim/qdwsim.h"

namespace qdw::qdwsim {
namespace {

using sim::Json;

constexpr char kRepository[] = "C:\\Users\\jo\\QDW Repository";
constexpr char kProductKey[] = "SOFTWARE\\VARNOLD\\Quillon Deskora";

void Check(platform::WinError error, const std::string& what) {
  if (error != platform::kSuccess) {
    throw std::runtime_error(what + " failed with error " + std::to_string(error));
  }
}

std::vector<uint8_t> Text(const std::string& text, size_t padded_size = 0) {
  std::vector<uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  if (data.size() < padded_size) data.resize(padded_size, 0);
  return data;
}

void SetString(platform::Registry& registry, platform::Hive hive, const std::string& key,
               const std::string& name, const std::vector<uint8_t>& data) {
  std::unique_ptr<platform::RegistryKey> handle;
  Check(registry.CreateKey(hive, key, platform::kKeyWrite | platform::kKeyRead, &handle, nullptr),
        "creating " + key);
  Check(handle->SetValue(name, platform::kRegSz, data), "setting " + key + "\\" + name);
}

void MakeFolders(platform::FileSystem& files, const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    std::string path;
    size_t start = 0;
    while (start <= folder.size()) {
      size_t end = folder.find('\\', start);
      if (end == std::string::npos) end = folder.size();
      path = folder.substr(0, end);
      if (path.size() > 2) {
        platform::WinError e = files.MakeFolder(path);
        if (e != platform::kSuccess && e != platform::kErrorAlreadyExists) {
          Check(e, "creating " + path);
        }
      }
      start = end + 1;
    }
  }
}

platform::SecurityDescriptor ShareSecurity(size_t index) {
  platform::SecurityDescriptor sd;
  sd.dacl_present = true;
  platform::Sid user, colleague;
  platform::Sid::Parse(kUserSid, &user);
  platform::Sid::Parse(kColleagueSid, &colleague);
  // Varied permissions, one deny entry among them, so every access code is exercised.
  if (index % 3 == 1) {
    sd.dacl.entries.push_back({platform::kAceAccessDenied, 0, platform::kMaskRead, colleague});
  }
  sd.dacl.entries.push_back({platform::kAceAccessAllowed, 0, platform::kMaskFullControl, user});
  sd.dacl.entries.push_back({platform::kAceAccessAllowed, 0,
                             index % 2 ? platform::kMaskRead : platform::kMaskChange,
                             platform::Sid::World()});
  return sd;
}

void InstallProduct(sim::SimPlatform& machine, uint32_t seed, uint64_t size_mb) {
  platform::Registry& registry = machine.registry();
  platform::FileSystem& files = machine.files();
  MakeFolders(files, {"C:\\Users\\jo\\Desktop", "C:\\Users\\jo\\Documents",
                      "C:\\Users\\jo\\AppData\\Local\\Temp", "C:\\ProgramData",
                      "C:\\Windows\\system32", kInstallFolder, "D:\\Backups"});

  // The product's settings: version, type, the machine-wide and the user's repository path.
  using platform::Hive;
  SetString(registry, Hive::kLocalMachine, kProductKey, "Display_Version", Text("2.5.1"));
  SetString(registry, Hive::kLocalMachine, kProductKey, "Product_Type", Text("2"));
  SetString(registry, Hive::kLocalMachine,
            std::string(kProductKey) + "\\QDW\\User Settings\\Common", "Repository Path",
            Text(std::string(kInstallFolder) + "\\Common"));
  SetString(registry, Hive::kCurrentUser, std::string(kProductKey) + "\\QDW", "Repository Path",
            Text(kRepository));

  database::sample::SampleOptions options;
  options.seed = seed;
  options.target_bytes = size_mb << 20;
  options.outside_share_paths = {"C:\\Users\\jo\\Desktop\\Scans", "C:\\Users\\jo\\Shares\\Box"};
  database::sample::SampleSummary summary;
  std::string error;
  if (!database::sample::GenerateSampleRepository(machine, kRepository, options, &summary,
                                                  &error)) {
    throw std::runtime_error("making the sample repository failed: " + error);
  }

  // Every shared folder is a network share and a registry entry of the user.
  const std::string per_user =
      std::string("Software\\VARNOLD\\Quillon Deskora\\QDW\\Shared Folders\\") + kDomain + "/" +
      kUser;
  for (size_t i = 0; i < summary.shares.size(); ++i) {
    const database::sample::SampleShare& s = summary.shares[i];
    platform::ShareInfo share;
    share.name = s.name;
    share.remark = i == 0 ? "Team, scans" : "Quillon Deskora " + s.name;
    share.max_uses = i % 2 ? 10 : -1;
    share.path = s.path;
    share.security = ShareSecurity(i);
    Check(machine.shares().Add(share), "sharing " + s.path);
    SetString(registry, Hive::kLocalMachine, per_user + "\\" + s.name, "Path", Text(s.path, 1024));
  }

  // The product's services run; none of its programs does, so the tool may start.
  Json services = Json::object();
  for (const char* name :
       {"CiSvc", "VNQLNSharedFolder", "VNQLNWatchFolderService", "QDW Share Proxy Service"}) {
    services[name] = {{"state", "running"},
                      {"display_name", name},
                      {"stop_pending_polls", 1},
                      {"start_pending_polls", 1},
                      {"wait_hint_ms", 0}};
  }
  machine.machine().store().Write("services.json", services);
  Json processes = Json::array();
  uint32_t pid = 4;
  for (const char* name : {"System", "smss.exe", "winlogon.exe", "services.exe", "svchost.exe",
                           "explorer.exe", "VNQLNSharedFolder.exe"}) {
    processes.push_back({{"pid", pid}, {"name", name}});
    pid += 92;
  }
  machine.machine().store().Write("processes.json", {{"processes", processes}});

  std::cout << "repository " << kRepository << ": " << summary.file_count << " files, "
            << (summary.total_bytes >> 20) << " MB, " << summary.documents.size() << " documents, "
            << summary.shares.size() << " shared folders\n";
}

}  // namespace

int Init(const Args& input) {
  Args args = input;
  uint32_t seed = static_cast<uint32_t>(std::stoul(TakeOption(&args, "--seed", "1")));
  uint64_t size_mb = std::stoull(TakeOption(&args, "--size", "100"));
  std::string os = TakeOption(&args, "--os", "6.1");
  std::string code_page = TakeOption(&args, "--code-page", "1252");
  if (args.size() != 1) throw UsageError("init takes one folder");
  const std::string folder = std::filesystem::absolute(args[0]).string();
  if (std::filesystem::exists(folder) && !std::filesystem::is_empty(folder)) {
    throw UsageError(folder + " exists and is not empty");
  }
  sim::Json description = DefaultMachineDescription(ExecutableFolder());
  if (!OsVersionDescription(os, &description["os_version"])) {
    throw UsageError("unknown --os version '" + os + "' (4.0, 5.0, 5.1, 6.0, 6.1, 6.2, 10.0, 9x)");
  }
  if (code_page != "1252" && code_page != "932") {
    throw UsageError("unknown --code-page '" + code_page + "' (1252 or 932)");
  }
  description["code_page"] = std::stoi(code_page);
  sim::SimMachine::CreateMachineFolder(folder, description);
  std::unique_ptr<sim::SimPlatform> machine = sim::OpenSimMachine(folder);
  InstallProduct(*machine, seed, size_mb);
  std::cout << "machine " << folder << " ready (QDW_MACHINE=" << folder << ")\n";
  return 0;
}

}  // namespace qdw::qdwsim
