#include "bench/small_files/engine_profile.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "bench/backup/silent_prompts.h"
#include "bench/small_files/counting_platform.h"
#include "bench/small_files/step_rules.h"
#include "engine/backup/compress_packer.h"
#include "engine/backup_restore.h"
#include "engine/restore/restore_engine.h"
#include "platform/sim/sim_platform.h"

namespace qdw::bench {
namespace {

// Packing is a step of its own, from the call of the packer to its return.
class SteppedPacker : public backup::CompressPacker {
 public:
  explicit SteppedPacker(StepRecorder& recorder) : recorder_(recorder) {}
  int Pack(const std::string& source_folder, const std::string& archive_path,
           std::string* last_volume_name) override {
    recorder_.Begin(kStepPacking);
    int result = CompressPacker::Pack(source_folder, archive_path, last_volume_name);
    recorder_.Begin(kStepPlacing);
    return result;
  }

 private:
  StepRecorder& recorder_;
};

// One engine run on a counted platform that is also the process's default platform, so the
// archive libraries are counted too.
class ProfiledRun {
 public:
  explicit ProfiledRun(const std::string& machine_folder)
      : machine_(sim::OpenSimMachine(machine_folder)),
        recorder_(syscalls_),
        counted_(*machine_, recorder_),
        packer_(recorder_),
        engine_(counted_, prompts_, packer_) {
    platform::SetDefaultPlatformForTesting(&counted_);
  }
  ~ProfiledRun() { platform::SetDefaultPlatformForTesting(nullptr); }

  StepRecorder& recorder() { return recorder_; }
  engine::CBackupRestore& engine() { return engine_; }
  bool counts_syscalls() const { return syscalls_.available(); }

 private:
  std::unique_ptr<sim::SimPlatform> machine_;
  SyscallCounter syscalls_;
  StepRecorder recorder_;
  CountingPlatform counted_;
  SilentPrompts prompts_;
  SteppedPacker packer_;
  engine::CBackupRestore engine_;
};

int Finish(ProfiledRun& run, const std::string& report, int result, const char* what) {
  run.recorder().Finish();
  if (!run.counts_syscalls()) std::fprintf(stderr, "host system calls are not counted here\n");
  if (result != 0) std::fprintf(stderr, "%s ended with code %d\n", what, result);
  if (!WriteStepReport(report, run.recorder().steps())) return 1;
  return result == 0 ? 0 : 1;
}

}  // namespace

int ProfiledBackupStep(int argc, char** argv) {
  if (argc != 2) return 2;
  ProfiledRun run(argv[0]);
  run.recorder().set_rule(BackupStepRule(kBenchRepository, kBenchBackups));
  run.recorder().Begin(kStepChecks);
  int result = run.engine().Backup(kBenchRepository, kBenchBackups, kBenchArchiveName);
  return Finish(run, argv[1], result, "backup");
}

int ProfiledRestoreStep(int argc, char** argv) {
  if (argc != 3) return 2;
  ProfiledRun run(argv[0]);
  StepRecorder& recorder = run.recorder();
  recorder.set_rule(RestoreStepRule(kBenchRepository));
  run.engine().set_unpacker([&recorder](const std::string& volume, const std::string& folder) {
    recorder.Begin(kStepUnpack);
    int result = restore::ExtractVolume(volume, folder);
    recorder.Begin(kStepFormatCheck);
    return result;
  });
  // The run sequence looks for open PDF files before it calls the restore.
  recorder.Begin(kStepOpenPdfCheck);
  int result = run.engine().RunProductFolderStep("Restore");
  if (result == 0) {
    recorder.Begin(kStepChecks);
    result = run.engine().RestoreFromArchive(argv[1], kBenchRepository, "");
  }
  return Finish(run, argv[2], result, "restore");
}

bool WriteStepReport(const std::string& path, const std::vector<StepFigures>& steps) {
  std::ofstream out(path, std::ios::trunc);
  for (const StepFigures& step : steps) {
    out << step.name << '\t' << step.wall_seconds << '\t' << step.cpu_seconds << '\t'
        << step.queued_seconds << '\t' << step.syscalls;
    for (uint64_t count : step.calls) out << '\t' << count;
    for (double seconds : step.call_seconds) out << '\t' << seconds;
    out << '\n';
  }
  return static_cast<bool>(out.flush());
}

bool ReadStepReport(const std::string& path, std::vector<StepFigures>* steps) {
  steps->clear();
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    StepFigures step;
    std::getline(fields, step.name, '\t');
    fields >> step.wall_seconds >> step.cpu_seconds >> step.queued_seconds >> step.syscalls;
    for (uint64_t& count : step.calls) fields >> count;
    for (double& seconds : step.call_seconds) fields >> seconds;
    if (!fields) return false;
    steps->push_back(step);
  }
  return !steps->empty();
}

}  // namespace qdw::bench
