// Helpers of the application tests: the built resource module, a scripted headless host,
// and a test double of the run services whose engines answer as a test says.
#ifndef QDW_TESTS_APP_APP_TEST_SUPPORT_H_
#define QDW_TESTS_APP_APP_TEST_SUPPORT_H_

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/app_prompts.h"
#include "app/framework/ui_context.h"
#include "app/headless/headless_host.h"
#include "app/run_services.h"
#include "app/startup_services.h"
#include "platform/library.h"
#include "platform/platform.h"

namespace qdw::testing {

// The resource module of the build (build/bin/Lingvault.dll), read from its file.
std::unique_ptr<platform::Library> LoadBuiltResourceModule();

// Text of string `id` of the built resource module, for composing scripts.
std::string ModuleText(int id);

// Caption of dialog template `id` of the built resource module, as the transcript shows it.
std::string ModuleDialogCaption(uint16_t id);

// The tool's data folder of the test machines, and its operation log.
inline constexpr char kDataFolder[] = "C:\\ProgramData\\VARNOLD\\Quillon Deskora Backup Tool";
inline constexpr char kLogFile[] =
    "C:\\ProgramData\\VARNOLD\\Quillon Deskora Backup Tool\\BackupLog.txt";

// A headless host answering from `script`, recording the transcript; a failure is recorded
// and thrown as headless::ScriptFailure.
class ScriptedUi {
 public:
  explicit ScriptedUi(const std::string& script, platform::FileSystem* files = nullptr);

  headless::HeadlessHost& host() { return *host_; }
  ui::UiContext& ui() { return *ui_; }
  const platform::Library& module() const { return *module_; }
  std::string transcript() const { return transcript_.str(); }
  // The first failure of the script, or empty.
  const std::string& failure() const { return failure_; }
  std::string Text(int id) const { return ui_->LoadText(id); }

 private:
  std::unique_ptr<platform::Library> module_;
  std::unique_ptr<app::ModuleTexts> texts_;
  std::ostringstream transcript_;
  std::string failure_;
  std::unique_ptr<headless::HeadlessHost> host_;
  std::unique_ptr<ui::UiContext> ui_;
};

// A service the run sequence sees through FakeRunServices.
struct FakeService {
  bool query_ok = true;
  bool running = false;
  bool stop_ok = true;
  bool start_ok = true;
};

// Run services whose engines and services answer as configured; every call is recorded in
// `calls` ("query CiSvc", "backup <repository>|<destination>|<name>", ...).
class FakeRunServices : public app::RunServices {
 public:
  bool rights = true;
  int os_class = 3;
  bool repository_ok = true;
  std::string repository = "C:\\Users\\jo\\Repo";
  std::map<std::string, FakeService> services;
  int product_step_result = 0;
  std::deque<int> restore_results;  // one per call; 0 when exhausted
  int backup_result = 0;
  bool backup_throws = false;
  bool new_engine_throws = false;
  std::string archive_path = "D:\\Backup\\QDWBackup26Dec06.qdw";
  std::string windows_folder = "C:\\Windows";
  // As a 32-bit program sees them on 64-bit Windows.
  std::vector<std::string> program_folders = {"C:\\Program Files (x86)", "C:\\Program Files",
                                              "C:\\Program Files (x86)"};
  std::set<std::string> folders;  // folders that exist, as the run sequence asks for them
  // Runs inside the backup engine call, e.g. to show the engine's own messages.
  std::function<void(engine::Prompts&)> during_backup;
  std::vector<std::string> calls;

  std::unique_ptr<engine::EngineRun> NewEngineRun(engine::Prompts& prompts) override;
  void SetWorldGroup(const std::string& name) override { world_group = name; }
  std::string world_group;  // the name start-up gave for the restores
  bool ServiceRights() override;
  bool QueryService(const std::string& name, bool* running) override;
  bool StopService(const std::string& name) override;
  bool StartService(const std::string& name) override;
  int OperatingSystemClass() override { return os_class; }
  bool ReadRepositoryPath(std::string* path) override;
  bool FolderExists(const std::string& path) override;
  void RemoveFolderTree(const std::string& path) override;
  std::string WindowsFolder() override { return windows_folder; }
  std::vector<std::string> ProgramFolders() override { return program_folders; }

  // Whether a call was recorded, and the calls joined by "; " for messages.
  bool Called(const std::string& call) const;
  std::string CallList() const;
};

// Start-up checks that answer as configured, recording their order in `calls`.
class FakeStartupServices : public app::StartupServices {
 public:
  bool repository_ok = true;
  std::string repository = "C:\\Users\\jo\\Repo";
  bool version_ok = true;
  std::string version = "2.5";
  bool share_product_absent = true;
  bool main_check_ok = true;
  bool main_running = false;
  bool share_check_ok = true;
  bool share_running = false;
  std::vector<std::string> calls;

  void OpenDataFolderToEveryone(const std::string& world_group) override {
    calls.push_back("rights");
    opened_to = world_group;
  }
  std::string opened_to;  // the world-group name the data folder was opened to
  bool ReadRepositoryPath(std::string* path) override;
  bool ReadProductVersion(std::string* version, bool* share_product_absent) override;
  bool CheckMainProgram(bool* running) override;
  bool CheckShareProgram(bool* running) override;
};

// Everything a dialog of the program needs, over a scripted host and fake services.
class AppFixture {
 public:
  AppFixture(const std::string& script, platform::Platform& platform);

  ScriptedUi& scripted() { return scripted_; }
  app::AppContext& context() { return context_; }
  FakeRunServices& services() { return services_; }
  std::string transcript() const { return scripted_.transcript(); }
  std::string Text(int id) const { return scripted_.Text(id); }

 private:
  ScriptedUi scripted_;
  FakeRunServices services_;
  app::AppPrompts prompts_;
  app::AppContext context_;
};

}  // namespace qdw::testing

#endif  // QDW_TESTS_APP_APP_TEST_SUPPORT_H_
