#include "tests/app/run_sweep_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>

#include "app/app_prompts.h"
#include "app/file_dlg.h"
#include "app/headless/headless_host.h"
#include "app/headless/transcript.h"
#include "app/machine_services.h"
#include "engine/common/engine_state.h"
#include "platform/sim/sim_platform.h"
#include "tests/app/app_test_support.h"

namespace qdw::testing {
namespace {

namespace fs = std::filesystem;

// Never reached: the rule only counts.
constexpr uint32_t kCountOnly = 0xFFFFFFFFu;
constexpr int kRestoreMode = 3;
constexpr int kBackupMode = 2;
constexpr int kSuccessText = 138;
constexpr uint32_t kDefaultBound = 1;
constexpr uint32_t kDefaultSamples = 1;
constexpr uint32_t kInjectedError = 5;  // access denied
// The message that says a kept restore left files it could not delete (code 307).
constexpr int kMsgFilesInUse = 183;

// Answers every message box as a user who goes on would (Yes, else OK), and cancels every
// dialog opened over the first one (the temporary-folder question), so one script serves
// whatever a failure makes the run show.
class AnsweringHost : public platform::DialogHost {
 public:
  explicit AnsweringHost(headless::HeadlessHost& inner) : inner_(inner) {}

  void SetResourceModule(const platform::Library* module) override {
    inner_.SetResourceModule(module);
  }
  int RunModal(uint16_t template_id, platform::DialogHandler& handler,
               platform::DialogWindow* owner) override {
    if (depth_ > 0) return platform::kIdCancel;
    ++depth_;
    const int result = inner_.RunModal(template_id, handler, owner);
    --depth_;
    return result;
  }
  int ShowMessageBox(platform::DialogWindow*, const platform::MessageBoxRequest& request) override {
    messages.push_back(request.string_id);
    return request.buttons == platform::MessageBoxButtons::kYesNo ? platform::kIdYes
                                                                  : platform::kIdOk;
  }
  platform::BrowseResult BrowseForFolder(platform::DialogWindow*, const std::string&,
                                         std::string*) override {
    return platform::BrowseResult::kCancelled;
  }
  bool OpenFileDialog(platform::DialogWindow*, const platform::FileOpenRequest&,
                      std::string*) override {
    return false;
  }
  void BeginWaitCursor() override { inner_.BeginWaitCursor(); }
  void EndWaitCursor() override { inner_.EndWaitCursor(); }

  std::vector<int> messages;

 private:
  headless::HeadlessHost& inner_;
  int depth_ = 0;
};

// The machine of `folder` as the process's own for one run.
class MachineInUse {
 public:
  explicit MachineInUse(const std::string& folder) : platform_(sim::OpenSimMachine(folder)) {
    platform::SetDefaultPlatformForTesting(platform_.get());
    ::setenv("QDW_MACHINE", folder.c_str(), 1);
  }
  ~MachineInUse() { platform::SetDefaultPlatformForTesting(nullptr); }
  sim::SimPlatform& platform() { return *platform_; }

 private:
  std::unique_ptr<sim::SimPlatform> platform_;
};

RunResult RunDialog(const std::string& folder, int mode, const std::string& actions) {
  MachineInUse machine(folder);
  engine::ProcessEngineState().undeletable_files.clear();
  const std::string script = actions + "click 1\nexpect text 1033 " +
                             headless::OneLine(ModuleText(kSuccessText)) + "\nclose\n";
  std::unique_ptr<platform::Library> module = LoadBuiltResourceModule();
  app::ModuleTexts texts(module.get());
  std::ostringstream transcript;
  std::string failure;
  headless::HeadlessOptions options;
  options.script = script;
  options.script_name = "sweep";
  options.transcript = &transcript;
  options.files = &machine.platform().files();
  options.on_failure = [&failure](const std::string& what) {
    if (failure.empty()) failure = what;
  };
  headless::HeadlessHost inner(std::move(options));
  AnsweringHost host(inner);
  host.SetResourceModule(module.get());
  ui::UiContext ui(host, texts, "Quillon Deskora Backup Tool");
  app::MachineServices services(machine.platform(), host);
  app::AppPrompts prompts(ui, machine.platform());
  app::AppContext context{ui, machine.platform(), services, prompts, ""};
  try {
    app::CFileDlg dialog(context, mode);
    dialog.DoModal();
  } catch (const headless::ScriptFailure&) {
  }
  RunResult result;
  result.succeeded = failure.empty();
  result.outcome = failure;
  result.messages = host.messages;
  return result;
}

sim::Json Faults(const std::string& folder) {
  MachineInUse machine(folder);
  return machine.platform().machine().store().Read("faults.json");
}

}  // namespace

const std::vector<std::string>& SweptOperations() {
  static const std::vector<std::string> operations = {"FileSystem.Open",
                                                      "FileSystem.ReadAttributes",
                                                      "FileSystem.WriteAttributes",
                                                      "FileSystem.Delete",
                                                      "FileSystem.MakeFolder",
                                                      "FileSystem.RemoveFolder",
                                                      "FileSystem.ReadDacl",
                                                      "FileSystem.WriteDacl",
                                                      "FileSystem.Find",
                                                      "FileSystem.Copy",
                                                      "FileSystem.Move",
                                                      "FileSystem.Replace",
                                                      "FileSystem.FullPath",
                                                      "FileSystem.TempFileName",
                                                      "File.Read",
                                                      "File.Write",
                                                      "File.Flush",
                                                      "File.SetEnd",
                                                      "File.SetTimes",
                                                      "Registry.OpenKey",
                                                      "Registry.CreateKey",
                                                      "Registry.QueryValue",
                                                      "Registry.SetValue",
                                                      "Registry.DeleteValue",
                                                      "Registry.DeleteSubKey",
                                                      "Registry.EnumSubKey",
                                                      "Registry.EnumValue",
                                                      "Shares.Enumerate",
                                                      "Shares.GetInfo",
                                                      "Shares.Delete",
                                                      "Shares.Add",
                                                      "Shares.WorkstationUser",
                                                      "ShareProxy.Create",
                                                      "ShareProxy.SetComputer",
                                                      "ShareProxy.SetShareName",
                                                      "ShareProxy.SetPath",
                                                      "ShareProxy.SetRemark",
                                                      "ShareProxy.SetMaxUsers",
                                                      "ShareProxy.SetOption",
                                                      "ShareProxy.AddPermission",
                                                      "ShareProxy.BeforeFinish",
                                                      "ShareProxy.Finish",
                                                      "ShareProxy.CreateShare",
                                                      "ShareProxy.DeleteShare",
                                                      "ShareProxy.CheckShareName",
                                                      "ShareProxy.CheckPath",
                                                      "Database.Open",
                                                      "Database.Execute",
                                                      "Database.Query",
                                                      "Database.BeginTransaction",
                                                      "Database.Commit",
                                                      "Shell.MakeSureDirectoryPathExists",
                                                      "Shell.Execute"};
  return operations;
}

SweepFolder::SweepFolder() {
  path_ = (fs::temp_directory_path() /
           ("qdw-sweep-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_suite()->name()))
              .string();
  fs::remove_all(path_);
  fs::create_directories(path_);
}

SweepFolder::~SweepFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void InitMachine(const std::string& folder, int seed, const std::string& os) {
  const std::string command = "'" QDW_QDWSIM_PROGRAM "' init '" + folder + "' --seed " +
                              std::to_string(seed) + " --size 1" +
                              (os.empty() ? "" : " --os " + os) + " >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) throw std::runtime_error("qdwsim init failed");
}

void CopyMachine(const std::string& from, const std::string& to) {
  fs::remove_all(to);
  // Times and extended attributes (creation times) travel as they would not with fs::copy.
  const std::string command = "cp -a '" + from + "' '" + to + "'";
  if (std::system(command.c_str()) != 0) throw std::runtime_error("cannot copy " + from);
}

void ChangeInstallation(const std::string& folder) {
  MachineInUse machine(folder);
  platform::Platform& platform = machine.platform();
  const std::string qdw = std::string(kSweepRepository) + "\\VARNOLD\\QDW";
  auto put = [&](const std::string& path, const std::string& text) {
    std::unique_ptr<platform::File> file;
    uint32_t written = 0;
    if (platform.files().Open(path, platform::kGenericWrite, platform::kShareNone,
                              platform::Disposition::kCreateAlways, platform::kAttrNormal,
                              &file) != platform::kSuccess ||
        file->Write(text.data(), static_cast<uint32_t>(text.size()), &written) !=
            platform::kSuccess) {
      throw std::runtime_error("cannot write " + path);
    }
  };
  std::vector<platform::DirEntry> inbox;
  platform.files().Find(qdw + "\\Inbox\\*.pdf", &inbox);
  if (inbox.empty() ||
      platform.files().Delete(qdw + "\\Inbox\\" + inbox[0].name) != platform::kSuccess) {
    throw std::runtime_error("no document to delete");
  }
  put(qdw + "\\stray.txt", "made after the backup");
  put("C:\\Users\\jo\\Shares\\Box\\added.txt", "added to an outside shared folder");
  if (platform.shares().Delete("Reception Desk") != platform::kSuccess) {
    throw std::runtime_error("cannot remove a share");
  }
  std::unique_ptr<platform::RegistryKey> key;
  if (platform.registry().OpenKey(
          platform::Hive::kLocalMachine,
          "SOFTWARE\\VARNOLD\\Quillon Deskora\\QDW\\Shared Folders\\WORKSTATION/jo\\Box",
          platform::kKeyRead | platform::kKeyWrite, &key) != platform::kSuccess ||
      key->SetValue("Note", platform::kRegSz, {'x', 0}) != platform::kSuccess) {
    throw std::runtime_error("cannot change the registered folder");
  }
}

RunResult RunRestore(const std::string& folder) {
  return RunDialog(folder, kRestoreMode, std::string("type 1009 ") + kSweepArchive + "\n");
}

RunResult RunBackup(const std::string& folder) {
  return RunDialog(folder, kBackupMode,
                   std::string("type 1008 ") + kSweepDestination + "\ntype 1013 Full\n");
}

journal::RecoveryReport Recover(const std::string& folder) {
  MachineInUse machine(folder);
  engine::ProcessEngineState().undeletable_files.clear();
  journal::RunJournal journal(machine.platform(), engine::ProcessEngineState());
  return journal.Recover(/*start_services=*/true);
}

sim::MachineSnapshot Snapshot(const std::string& folder, bool write_times,
                              const std::vector<std::string>& excluded) {
  MachineInUse machine(folder);
  sim::SnapshotOptions options;
  options.file_write_times = write_times;
  if (!excluded.empty()) {
    options.excluded_paths = excluded;
    options.excluded_paths.push_back(sim::OperationLogPath(machine.platform().machine()));
  }
  return sim::TakeSnapshot(machine.platform().machine(), options);
}

void CountCalls(const std::string& folder, const std::vector<std::string>& operations) {
  MachineInUse machine(folder);
  for (const std::string& operation : operations) {
    machine.platform().machine().faults().AddRule(operation, kCountOnly,
                                                  platform::kErrorAccessDenied, "", 1);
  }
}

std::map<std::string, uint64_t> CountedCalls(const std::string& folder) {
  std::map<std::string, uint64_t> counts;
  for (const sim::Json& rule : Faults(folder).value("rules", sim::Json::array())) {
    counts[rule.value("op", "")] += rule.value("seen", uint64_t{0});
  }
  return counts;
}

void FailCall(const std::string& folder, const std::string& operation, uint32_t nth,
              uint32_t error) {
  MachineInUse machine(folder);
  machine.platform().machine().faults().AddRule(operation, nth, error, "", 1);
}

void ClearFaults(const std::string& folder) {
  MachineInUse machine(folder);
  machine.platform().machine().faults().Clear();
}

std::vector<uint32_t> CallsToFail(uint64_t count, uint32_t bound, uint32_t samples, uint32_t seed) {
  std::vector<uint32_t> calls;
  for (uint32_t n = 1; n <= bound && n <= count; ++n) calls.push_back(n);
  if (count <= bound) return calls;
  std::mt19937 random(seed);
  std::uniform_int_distribution<uint64_t> beyond(bound + 1, count);
  std::set<uint32_t> drawn;
  const uint64_t available = count - bound;
  while (drawn.size() < samples && drawn.size() < available) {
    drawn.insert(static_cast<uint32_t>(beyond(random)));
  }
  calls.insert(calls.end(), drawn.begin(), drawn.end());
  return calls;
}

SweepTally SweepFaults(const std::string& base, const std::string& run_folder,
                       const std::map<std::string, uint64_t>& counts,
                       const std::function<bool(const std::string&)>& pick,
                       const SweepExpectations& expect) {
  const uint32_t bound = EnvironmentNumber("QDW_SWEEP_BOUND", kDefaultBound);
  const uint32_t samples = EnvironmentNumber("QDW_SWEEP_SAMPLES", kDefaultSamples);
  const uint32_t seed = EnvironmentNumber("QDW_SWEEP_SEED", 1);
  SweepTally tally;
  for (const std::string& operation : SweptOperations()) {
    if (!pick(operation)) continue;
    const auto counted = counts.find(operation);
    const uint64_t count = counted == counts.end() ? 0 : counted->second;
    for (uint32_t nth :
         CallsToFail(count, bound, samples, seed + static_cast<uint32_t>(operation.size()))) {
      ++tally.points;
      CopyMachine(base, run_folder);
      FailCall(run_folder, operation, nth, kInjectedError);
      const RunResult result = expect.run(run_folder);
      ClearFaults(run_folder);
      const journal::RecoveryReport recovery = Recover(run_folder);
      const std::string point =
          operation + " #" + std::to_string(nth) + " of " + std::to_string(count);
      EXPECT_TRUE(recovery.not_put_back.empty()) << point;
      std::string from_after = sim::DescribeDifferences(
          expect.after, Snapshot(run_folder, /*write_times=*/false, expect.after_excluded));
      if (from_after.empty() && expect.check_after) from_after = expect.check_after(run_folder);
      if (result.succeeded) {
        ++tally.kept;
        EXPECT_EQ(from_after, "") << point << ": succeeded, yet not as a clean run";
        continue;
      }
      // A restore that was kept but could not delete everything it set aside says so with
      // 307; the start-up check then finishes its clean-up.
      const bool kept_with_leftovers = std::find(result.messages.begin(), result.messages.end(),
                                                 kMsgFilesInUse) != result.messages.end();
      if (kept_with_leftovers && from_after.empty()) {
        ++tally.kept;
        continue;
      }
      ++tally.failed;
      EXPECT_EQ(sim::DescribeDifferences(expect.before, Snapshot(run_folder)), "")
          << point << ": failed (" << result.outcome << "), yet not as before";
    }
  }
  std::cout << "fault points " << tally.points << ": " << tally.failed
            << " runs failed and put everything back, " << tally.kept << " went through"
            << std::endl;
  return tally;
}

uint32_t EnvironmentNumber(const char* name, uint32_t fallback) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text == '\0') return fallback;
  const long value = std::strtol(text, nullptr, 10);
  return value >= 0 ? static_cast<uint32_t>(value) : fallback;
}

}  // namespace qdw::testing
