#include "app/backup_app.h"

#include <string>

#include "app/app_context.h"
#include "app/app_prompts.h"
#include "app/mode_dlg.h"
#include "app/resource_ids.h"
#include "app/unfinished_run.h"
#include "app/world_group.h"
#include "platform/process_code_page.h"

namespace qdw::app {

namespace {

// Everything the dialogs share, made once the resource module is known.
class Session {
 public:
  Session(platform::Platform& platform, platform::DialogHost& host, RunServices& run,
          const platform::Library* module)
      : texts_(module),
        ui_(host, texts_, kApplicationName),
        prompts_(ui_, platform),
        context_{ui_, platform, run, prompts_, ""} {}

  ui::UiContext& ui() { return ui_; }
  AppContext& context() { return context_; }

 private:
  ModuleTexts texts_;
  ui::UiContext ui_;
  AppPrompts prompts_;
  AppContext context_;
};

// The version passes when its first character does not sort before the one required: "2"
// for the product alone, "1" when the separate share product is installed as well.
bool VersionSupported(const std::string& version, bool share_product_absent) {
  if (version.empty()) return false;
  const unsigned char required = share_product_absent ? '2' : '1';
  return static_cast<unsigned char>(version[0]) >= required;
}

// The checks before the first dialog; the message of the first that stops the start, or 0.
int StartupRefusal(StartupServices& startup) {
  std::string repository;
  if (!startup.ReadRepositoryPath(&repository)) return engine::kMsgProductNotSetUp;
  // A path read but empty leaves nothing to back up or restore into.
  if (repository.empty()) return kMsgNoRepository;
  std::string version;
  bool share_product_absent = true;
  if (!startup.ReadProductVersion(&version, &share_product_absent) ||
      !VersionSupported(version, share_product_absent)) {
    return kMsgVersionUnsupported;
  }
  bool running = false;
  if (!startup.CheckMainProgram(&running)) return engine::kMsgProductNotSetUp;
  if (running) return engine::kMsgProductRunning;
  if (!startup.CheckShareProgram(&running)) return kMsgShareCheckFailed;
  if (running) return kMsgShareRunning;
  return 0;
}

}  // namespace

CBackupApp::CBackupApp(platform::Platform& platform, platform::DialogHost& host,
                       StartupServices& startup, RunServices& run)
    : platform_(platform), host_(host), startup_(startup), run_(run) {}

bool CBackupApp::InitInstance() {
  // Every path and name the program walks is text of the system's code page.
  platform::AdoptSystemCodePage(platform_.system());
  if (platform_.libraries().Load(kResourceModuleName, &resource_module_) == platform::kSuccess &&
      resource_module_ != nullptr) {
    resource_module_loaded_ = true;
  } else {
    resource_module_.reset();
  }
  host_.SetResourceModule(resource_module_.get());
  Session session(platform_, host_, run_, resource_module_.get());

  std::unique_ptr<platform::NamedMutex> mutex;
  const platform::WinError created = platform_.mutexes().Create(kSingleInstanceMutex, true, &mutex);
  if (created == platform::kErrorAlreadyExists) {
    session.ui().MessageBox(kMsgAlreadyRunning);
    if (mutex != nullptr) mutex->Release();
    return false;
  }
  if (created != platform::kSuccess || mutex == nullptr) return false;

  // Only the one copy that runs may put back what an unfinished run left, and before it does
  // anything else.
  ShowUnfinishedRun(session.ui(), startup_.RecoverUnfinishedRun());

  const std::string world_group = WorldGroupName(resource_module_.get());
  startup_.OpenDataFolderToEveryone(world_group);
  run_.SetWorldGroup(world_group);
  const int refusal = StartupRefusal(startup_);
  if (refusal != 0) {
    session.ui().MessageBox(refusal);
    mutex->Release();
    return false;
  }
  try {
    CModeDlg choice(session.context(), kModeBackup);
    choice.DoModal();
  } catch (...) {
    session.ui().MessageBox(kMsgUnexpectedError);
  }
  mutex->Release();
  return false;
}

}  // namespace qdw::app
