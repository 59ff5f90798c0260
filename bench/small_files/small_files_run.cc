#include "bench/small_files/small_files_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "bench/small_files/engine_profile.h"
#include "bench/table/host_tree.h"
#include "platform/sim/sim_machine.h"
#include "tools/qdwsim/machine_description.h"

namespace qdw::bench {
namespace {

namespace fs = std::filesystem;

// Where the small documents go, and the folders of the floor runs (host folders beside the
// program's own work and temporary folders, so on the same disk).
constexpr char kSmallDocuments[] = "C:\\Users\\jo\\QDW Repository\\VARNOLD\\QDW\\Documents";
constexpr char kFloorWork[] = "D:\\FloorWork";
constexpr char kFloorBackups[] = "D:\\FloorBackups";
constexpr char kFloorTemp[] = "C:\\Users\\jo\\QDW Repository\\FloorTemp";
// The floor's installation: what its restore replaces, as the program's restore replaces the
// repository's trees.
constexpr char kFloorInstallation[] = "C:\\Users\\jo\\FloorInstallation";
// A cabinet holds at most this many files; a work folder with more makes a spanned set, and
// the program then lists the volumes in a message.
constexpr uint64_t kFilesPerCabinet = 65535;
constexpr char kDone[] = "expect text 1033 The operation completed successfully.\nclose\n";
constexpr char kRestoreFloor[] = "Floor of the restore";
constexpr char kReplacingRestoreFloor[] = "Floor of the restore, replacing an installation";
const char* const kServices[] = {"CiSvc", "VNQLNSharedFolder", "VNQLNWatchFolderService",
                                 "QDW Share Proxy Service"};

std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

StepCommand Plain(std::vector<std::string> arguments) {
  StepCommand command;
  command.arguments = std::move(arguments);
  return command;
}

struct HostCount {
  uint64_t files = 0;
  uint64_t folders = 0;
  uint64_t bytes = 0;
};

HostCount CountHost(const std::string& folder) {
  HostCount count;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(folder, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_directory(error)) {
      ++count.folders;
    } else if (it->is_regular_file(error)) {
      ++count.files;
      count.bytes += it->file_size(error);
    }
  }
  return count;
}

// Summed over the commands of one floor run: wall and CPU time add up, the peak is the
// largest.
Measurement Sum(const std::vector<Measurement>& parts) {
  Measurement sum;
  sum.ok = true;
  for (const Measurement& part : parts) {
    sum.ok = sum.ok && part.ok;
    sum.wall_seconds += part.wall_seconds;
    sum.cpu_seconds += part.cpu_seconds;
    sum.peak_mib = std::max(sum.peak_mib, part.peak_mib);
  }
  return sum;
}

}  // namespace

std::string RestoreRowName(const std::string& windows) {
  return "Restore, Windows " + windows + (windows == "6.1" ? " (copy, then delete)" : " (move)");
}

std::string ProfileName(const std::string& windows) {
  return windows.empty() ? std::string("backup") : "restore, Windows " + windows;
}

SmallFilesRun::SmallFilesRun(std::string self, std::string folder, SmallFilesOptions options)
    : self_(std::move(self)),
      bin_(fs::path(self_).parent_path().string()),
      machine_(folder + "/machine"),
      scratch_(folder + "/scratch"),
      options_(std::move(options)) {}

std::string SmallFilesRun::Host(const std::string& windows_path) const {
  std::string host;
  sim::SimMachine(machine_).ToHostPath(windows_path, &host);
  return host;
}

StepCommand SmallFilesRun::OnMachine(std::vector<std::string> arguments) const {
  StepCommand command = Plain(std::move(arguments));
  command.set_variables = {"QDW_MACHINE=" + machine_};
  return command;
}

bool SmallFilesRun::Prepare() {
  fs::create_directories(scratch_);
  if (!RunMeasured(Plain({bin_ + "/qdwsim", "init", machine_, "--seed", "7", "--size", "1"})).ok) {
    std::fprintf(stderr, "qdwsim init failed\n");
    return false;
  }
  fs::create_directories(Host(kBenchBackups));
  fs::create_directories(Host(kFloorBackups));
  return true;
}

// Generated in a child: every step is forked from this process, and a fork starts with the
// parent's resident size as its peak.
bool SmallFilesRun::Grow(uint64_t extra_files) {
  if (extra_files <= generated_) return true;
  const std::string root = Host(kSmallDocuments);
  pid_t pid = fork();
  if (pid == 0) {
    AddSmallDocuments(root, generated_, extra_files - generated_, options_.shape);
    _exit(0);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    return false;
  }
  generated_ = extra_files;
  return true;
}

Measurement SmallFilesRun::Program(const std::string& name, const std::string& script) {
  const std::string script_path = scratch_ + "/" + name + ".script";
  std::ofstream(script_path) << script;
  StepCommand command = OnMachine({bin_ + "/Backup"});
  command.set_variables.push_back("QDW_UI_SCRIPT=" + script_path);
  command.set_variables.push_back("QDW_UI_TRANSCRIPT=" + scratch_ + "/" + name + ".transcript");
  return RunMeasured(command);
}

void SmallFilesRun::ClearBackups() const {
  for (const auto& entry : fs::directory_iterator(Host(kBenchBackups))) RemoveAll(entry.path());
}

std::string SmallFilesRun::FirstVolume() const {
  const std::string single = std::string(kBenchArchiveName) + ".qdw";
  for (const auto& entry : fs::directory_iterator(Host(kBenchBackups))) {
    std::string name = entry.path().filename().string();
    if (name == single || name.rfind(std::string(kBenchArchiveName) + "_bak", 0) == 0) {
      return std::string(kBenchBackups) + "\\" + name;
    }
  }
  return std::string(kBenchBackups) + "\\" + single;
}

void SmallFilesRun::SetWindows(const std::string& version) const {
  sim::Json os_version;
  if (!qdwsim::OsVersionDescription(version, &os_version)) return;
  sim::SimMachine(machine_).store().Update("machine.json", [&](sim::Json& description) {
    description["os_version"] = os_version;
    return true;
  });
}

void SmallFilesRun::Settle() const {
  if (options_.settle_seconds <= 0) return;
  RunMeasured(Plain({"sync"}));
  ::sleep(static_cast<unsigned>(options_.settle_seconds));
}

void SmallFilesRun::StartServices() const {
  sim::SimMachine(machine_).store().Update("services.json", [](sim::Json& services) {
    for (const char* name : kServices) {
      if (services.contains(name)) services[name]["state"] = "running";
    }
    return true;
  });
}

bool SmallFilesRun::RepositoryIntact(const SizeResults& size) const {
  return CountHost(Host(std::string(kBenchRepository) + "\\VARNOLD")).files == size.files;
}

void SmallFilesRun::MeasureBackups(SizeResults* size) {
  const std::string product = Host(std::string(kBenchRepository) + "\\VARNOLD");
  const HostCount work = CountHost(product);
  // The work folder adds a marker to every folder and the share information.
  const bool spanned = work.files + work.folders + 2 > kFilesPerCabinet;
  ClearBackups();
  Settle();
  Measurement backup = Program(
      "backup", "expect dialog 102\nclick 1\nexpect dialog 105\ntype 1008 " +
                    std::string(kBenchBackups) + "\ntype 1013 " + kBenchArchiveName +
                    "\nclick 1\n" + (spanned ? "expect message 166\nanswer ok\n" : "") + kDone);
  size->Add("Backup (whole run)", backup);

  const std::string work_folder = Host(kFloorWork);
  const std::string tarball = Host(kFloorBackups) + "/floor.tar.gz";
  RemoveAll(tarball);
  fs::create_directories(work_folder);
  Settle();
  std::vector<Measurement> parts;
  parts.push_back(RunMeasured(Plain({"cp", "-r", product, work_folder + "/VARNOLD"})));
  size->Add("  floor: cp -r into a work folder", parts.back());
  parts.push_back(
      RunMeasured(Plain({"tar", "-I", "pigz", "-cf", tarball, "-C", work_folder, "."})));
  size->Add("  floor: tar -I pigz -c", parts.back());
  parts.push_back(RunMeasured(Plain({"rm", "-rf", work_folder})));
  size->Add("  floor: rm -rf the work folder", parts.back());
  size->Add("Floor of the backup", Sum(parts));
}

void SmallFilesRun::MeasureRestores(SizeResults* size) {
  const std::string archive = FirstVolume();
  for (const std::string& windows : options_.windows) {
    SetWindows(windows);
    Settle();
    Measurement restore =
        Program("restore", "expect dialog 102\nclick 1001\nclick 1\nexpect dialog 105\ntype 1009 " +
                               archive + "\nclick 1\nexpect message 123\nanswer yes\n" + kDone);
    restore.ok = restore.ok && RepositoryIntact(*size);
    size->Add(RestoreRowName(windows), restore);
  }
  SetWindows(options_.windows.empty() ? "6.1" : options_.windows.front());

  const std::string temp = Host(kFloorTemp);
  const std::string installed = Host(kFloorInstallation);
  const std::string replaced = installed + ".old";
  const std::string tarball = Host(kFloorBackups) + "/floor.tar.gz";
  RemoveAll(temp);
  RemoveAll(replaced);
  if (CountHost(installed).files != size->files) {
    // The installation a restore replaces has long been on disk; freeing written blocks costs
    // more than freeing blocks still in the cache.
    RemoveAll(installed);
    RunMeasured(Plain({"cp", "-r", Host(std::string(kBenchRepository) + "\\VARNOLD"), installed}));
    RunMeasured(Plain({"sync"}));
  }
  fs::create_directories(temp);
  Settle();
  std::vector<Measurement> parts;
  parts.push_back(RunMeasured(Plain({"cp", tarball, temp + "/floor.tar.gz"})));
  size->Add("  floor: cp of the tarball", parts.back());
  parts.push_back(
      RunMeasured(Plain({"tar", "-I", "pigz", "-xf", temp + "/floor.tar.gz", "-C", temp})));
  size->Add("  floor: tar -I pigz -x", parts.back());
  parts.push_back(RunMeasured(Plain({"mv", installed, replaced})));
  size->Add("  floor: mv the installation aside", parts.back());
  parts.push_back(RunMeasured(Plain({"cp", "-r", temp + "/VARNOLD", installed})));
  size->Add("  floor: cp -r into place", parts.back());
  parts.push_back(RunMeasured(Plain({"rm", "-rf", temp})));
  size->Add("  floor: rm -rf the temporary folder", parts.back());
  Measurement floor = Sum(parts);
  floor.ok = floor.ok && CountHost(installed).files == size->files;
  size->Add(kRestoreFloor, floor);
  parts.push_back(RunMeasured(Plain({"rm", "-rf", replaced})));
  size->Add("  floor: rm -rf the replaced installation", parts.back());
  Measurement replacing = Sum(parts);
  replacing.ok = replacing.ok && floor.ok;
  size->Add(kReplacingRestoreFloor, replacing);
}

void SmallFilesRun::MeasureProfiles(SizeResults* size) {
  ClearBackups();
  const std::string report = scratch_ + "/steps.tsv";
  auto profile = [&](const std::string& name, std::vector<std::string> arguments) {
    Settle();
    Measurement run = RunMeasured(OnMachine(std::move(arguments)));
    std::vector<StepFigures> steps;
    if (!ReadStepReport(report, &steps)) run.ok = false;
    size->AddProfile(name, run, steps);
    StartServices();
  };
  profile(ProfileName(""), {self_, "--profiled-backup", machine_, report});
  const std::string archive = FirstVolume();
  for (const std::string& windows : options_.profile_windows) {
    SetWindows(windows);
    profile(ProfileName(windows), {self_, "--profiled-restore", machine_, archive, report});
  }
  SetWindows(options_.windows.empty() ? "6.1" : options_.windows.front());
}

bool SmallFilesRun::MeasureSize(uint64_t extra_files) {
  std::printf("growing the repository to %llu small files...\n",
              static_cast<unsigned long long>(extra_files));
  std::fflush(stdout);
  if (!Grow(extra_files)) return false;
  SizeResults size;
  size.extra_files = extra_files;
  const HostCount product = CountHost(Host(std::string(kBenchRepository) + "\\VARNOLD"));
  size.files = product.files;
  size.bytes = product.bytes;
  size.load_before = LoadAverage();
  for (int run = 0; run < options_.runs; ++run) {
    std::printf("  run %d of %d, load average %s\n", run + 1, options_.runs, LoadAverage().c_str());
    std::fflush(stdout);
    MeasureBackups(&size);
    MeasureRestores(&size);
  }
  if (!options_.profile_windows.empty()) MeasureProfiles(&size);
  size.load_after = LoadAverage();
  PrintSize(stdout, size, Comparisons());
  PrintProfiles(stdout, size);
  std::fflush(stdout);
  sizes_.push_back(size);
  return true;
}

std::vector<FloorComparison> SmallFilesRun::Comparisons() const {
  std::vector<FloorComparison> comparisons = {
      {"Backup (whole run)", "Floor of the backup", "<= 0.8"}};
  for (const std::string& windows : options_.windows) {
    comparisons.push_back({RestoreRowName(windows), kRestoreFloor, "<= 1.2"});
    comparisons.push_back({RestoreRowName(windows), kReplacingRestoreFloor, ""});
  }
  return comparisons;
}

}  // namespace qdw::bench
