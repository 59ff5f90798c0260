// Wall time and peak memory of a backup of a generated sample repository on a stand-in
// machine, packed with the real archive writer, beside `tar -czf` of the same repository.
// Each phase runs in a process of its own so that its peak memory is its own. A plain
// program, not a timed test.
//
//   backup_bench [megabytes=1024]
//   backup_bench prepare FOLDER MEGABYTES   (a machine to profile `backup_bench backup FOLDER`)
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Compressor/compressor.h"
#include "bench/backup/silent_prompts.h"
#include "database/sample/sample_repository.h"
#include "engine/backup_restore.h"
#include "engine/backup/compress_packer.h"
#include "settings/product_settings.h"
#include "platform/sim/sim_platform.h"
#include "tests/platform/sim_test_machine.h"

extern char** environ;

namespace {

using namespace qdw;

constexpr char kRepository[] = "C:\\Users\\jo\\Documents";
constexpr char kDestination[] = "C:\\Backups";

// Says why packing failed.
class ReportingPacker : public backup::CompressPacker {
 public:
  int Pack(const std::string& source_folder, const std::string& archive_path,
           std::string* last_volume_name) override {
    auto start = std::chrono::steady_clock::now();
    int result = CompressPacker::Pack(source_folder, archive_path, last_volume_name);
    std::printf("  packing: %.1f s\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (result != 0) {
      std::fprintf(stderr, "Compress: %d (%s)\n", result, GetCompressErrText(result));
    }
    return result;
  }
};

struct ChildResult {
  bool ok = false;
  double seconds = 0;
  long peak_kb = 0;
};

// Runs `argv` and reports its wall time and peak resident memory.
ChildResult RunChild(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  ChildResult result;
  auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return result;
  int status = 0;
  struct rusage usage {};
  if (wait4(pid, &status, 0, &usage) != pid) return result;
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  result.peak_kb = usage.ru_maxrss;
  result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return result;
}

void SetText(platform::Registry& registry, platform::Hive hive, const std::string& key,
             const std::string& value, const std::string& text) {
  std::unique_ptr<platform::RegistryKey> handle;
  registry.CreateKey(hive, key, platform::kKeyWrite, &handle, nullptr);
  std::vector<uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  if (handle) handle->SetValue(value, platform::kRegSz, data);
}

int Generate(const std::string& folder, uint64_t megabytes) {
  auto machine = sim::OpenSimMachine(folder);
  auto& registry = machine->registry();
  SetText(registry, platform::Hive::kCurrentUser, std::string(settings::kProductKey) + "\\QDW",
          "Repository Path", kRepository);
  std::unique_ptr<platform::RegistryKey> key;
  registry.CreateKey(platform::Hive::kLocalMachine, settings::kWritableProductKey,
                     platform::kKeyWrite, &key, nullptr);
  machine->shell().MakeSureDirectoryPathExists(
      "C:\\ProgramData\\VARNOLD\\Quillon Deskora Backup Tool\\");
  // The machine's temporary folder, where the archive writer keeps its staging files.
  machine->shell().MakeSureDirectoryPathExists("C:\\Users\\jo\\AppData\\Local\\Temp\\");
  machine->files().MakeFolder(kDestination);

  database::sample::SampleSummary summary;
  std::string error;
  if (!database::sample::GenerateSampleRepository(*machine, kRepository, 1, megabytes << 20,
                                                  &summary, &error)) {
    std::fprintf(stderr, "generation failed: %s\n", error.c_str());
    return 1;
  }
  std::printf("sample repository: %.1f MB in %llu files, %zu documents\n",
              summary.total_bytes / 1048576.0, static_cast<unsigned long long>(summary.file_count),
              summary.documents.size());
  return 0;
}

int Backup(const std::string& folder) {
  auto machine = sim::OpenSimMachine(folder);
  platform::SetDefaultPlatformForTesting(machine.get());
  bench::SilentPrompts prompts;
  ReportingPacker packer;
  engine::CBackupRestore engine(*machine, prompts, packer);
  int result = engine.Backup(kRepository, kDestination, "Bench");
  platform::SetDefaultPlatformForTesting(nullptr);
  if (result != 0) {
    std::fprintf(stderr, "backup failed with code %d\n", result);
    return 1;
  }
  return 0;
}

uint64_t FolderBytes(const std::string& host_folder) {
  uint64_t total = 0;
  std::error_code error;
  for (auto it = std::filesystem::recursive_directory_iterator(host_folder, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_regular_file()) total += it->file_size();
  }
  return total;
}

int Orchestrate(const std::string& self, uint64_t megabytes) {
  const char* base = std::getenv("TMPDIR");
  std::string folder = std::string(base && *base ? base : "/tmp") + "/qdw-backup-bench-XXXXXX";
  if (::mkdtemp(folder.data()) == nullptr) return 1;
  sim::SimMachine::CreateMachineFolder(folder, testing::SimTestMachine::DefaultDescription());

  int status = 1;
  std::fflush(stdout);
  ChildResult generated = RunChild({self, "generate", folder, std::to_string(megabytes)});
  if (generated.ok) {
    std::printf("  generation: %.1f s\n", generated.seconds);
    std::fflush(stdout);
    ChildResult backup = RunChild({self, "backup", folder});
    sim::SimMachine machine(folder);
    std::string repository_host;
    std::string destination_host;
    machine.ToHostPath(kRepository, &repository_host);
    machine.ToHostPath(kDestination, &destination_host);
    const std::string tarball = folder + "/repository.tar.gz";
    ChildResult tar = RunChild({"tar", "-czf", tarball, "-C", repository_host, "VARNOLD"});
    if (backup.ok && tar.ok) {
      std::printf("  backup: %.1f s wall, peak memory %.0f MB, archive %.1f MB\n", backup.seconds,
                  backup.peak_kb / 1024.0, FolderBytes(destination_host) / 1048576.0);
      std::printf("  tar -czf: %.1f s wall, archive %.1f MB\n", tar.seconds,
                  std::filesystem::file_size(tarball) / 1048576.0);
      std::printf("  backup / tar time ratio: %.2f\n", backup.seconds / tar.seconds);
      status = 0;
    } else {
      std::fprintf(stderr, "backup %s, tar %s\n", backup.ok ? "ok" : "failed",
                   tar.ok ? "ok" : "failed");
    }
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "generate" && argc == 4)
    return Generate(argv[2], std::strtoull(argv[3], nullptr, 10));
  if (mode == "backup" && argc == 3) return Backup(argv[2]);
  if (mode == "prepare" && argc == 4) {
    sim::SimMachine::CreateMachineFolder(argv[2], testing::SimTestMachine::DefaultDescription());
    return Generate(argv[2], std::strtoull(argv[3], nullptr, 10));
  }
  const uint64_t megabytes = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1024;
  std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  return Orchestrate(self, megabytes);
}
