#include "tests/app/app_test_support.h"

#include <new>
#include <stdexcept>

#include "lingvault/language_constants.h"
#include "platform/resources/dialog_template.h"
#include "platform/resources/pe_resource_image.h"
#include "platform/resources/resource_image_library.h"

namespace qdw::testing {

namespace {

class FakeEngineRun : public engine::EngineRun {
 public:
  FakeEngineRun(FakeRunServices& owner, engine::Prompts& prompts)
      : owner_(owner), prompts_(prompts) {}

  int RunProductFolderStep(const std::string& mode_word) override {
    owner_.calls.push_back("product-folder " + mode_word);
    return owner_.product_step_result;
  }
  int RestoreFromArchive(const std::string& archive, const std::string& repository,
                         const std::string& temp_folder) override {
    owner_.calls.push_back("restore " + archive + "|" + repository + "|" + temp_folder);
    if (owner_.restore_results.empty()) return 0;
    const int result = owner_.restore_results.front();
    owner_.restore_results.pop_front();
    return result;
  }
  int Backup(const std::string& repository, const std::string& destination,
             const std::string& name) override {
    owner_.calls.push_back("backup " + repository + "|" + destination + "|" + name);
    if (owner_.during_backup) owner_.during_backup(prompts_);
    if (owner_.backup_throws) throw std::runtime_error("database driver failed");
    reported_ = owner_.archive_path;
    return owner_.backup_result;
  }
  const std::string& archive_path() const override { return reported_; }
  void StopServicesWithoutRights() override { owner_.calls.push_back("stop-without-rights"); }
  void StartServicesFromCommandLine() override { owner_.calls.push_back("command-line-start"); }

 private:
  FakeRunServices& owner_;
  engine::Prompts& prompts_;
  std::string reported_;
};

}  // namespace

std::unique_ptr<platform::Library> LoadBuiltResourceModule() {
  auto image = resources::PeResourceImage::Open(QDW_TEST_LINGVAULT_DLL);
  if (image == nullptr) throw std::runtime_error("cannot read " QDW_TEST_LINGVAULT_DLL);
  return std::make_unique<resources::ResourceImageLibrary>(std::move(image));
}

std::string ModuleText(int id) {
  static const std::unique_ptr<platform::Library> module = LoadBuiltResourceModule();
  return app::ModuleTexts(module.get()).Text(id);
}

std::string ModuleDialogCaption(uint16_t id) {
  static const std::unique_ptr<platform::Library> module = LoadBuiltResourceModule();
  std::vector<uint8_t> bytes;
  resources::DialogTemplate dialog;
  if (!module->Resource(platform::kResourceDialog, id, &bytes) ||
      !resources::ParseDialogTemplate(bytes, language::kCodePage, &dialog)) {
    throw std::runtime_error("no dialog template " + std::to_string(id) + " in the module");
  }
  return dialog.caption;
}

ScriptedUi::ScriptedUi(const std::string& script, platform::FileSystem* files)
    : module_(LoadBuiltResourceModule()),
      texts_(std::make_unique<app::ModuleTexts>(module_.get())) {
  headless::HeadlessOptions options;
  options.script = script;
  options.script_name = "script";
  options.transcript = &transcript_;
  options.files = files;
  options.on_failure = [this](const std::string& what) {
    if (failure_.empty()) failure_ = what;
  };
  host_ = std::make_unique<headless::HeadlessHost>(std::move(options));
  host_->SetResourceModule(module_.get());
  ui_ = std::make_unique<ui::UiContext>(*host_, *texts_, "Quillon Deskora Backup Tool");
}

std::unique_ptr<engine::EngineRun> FakeRunServices::NewEngineRun(engine::Prompts& prompts) {
  calls.push_back("new-engine");
  if (new_engine_throws) throw std::bad_alloc();
  return std::make_unique<FakeEngineRun>(*this, prompts);
}

bool FakeRunServices::ServiceRights() {
  calls.push_back("rights");
  return rights;
}

bool FakeRunServices::QueryService(const std::string& name, bool* running) {
  calls.push_back("query " + name);
  const FakeService& service = services[name];
  *running = service.query_ok && service.running;
  return service.query_ok;
}

bool FakeRunServices::StopService(const std::string& name) {
  calls.push_back("stop " + name);
  return services[name].stop_ok;
}

bool FakeRunServices::StartService(const std::string& name) {
  calls.push_back("start " + name);
  return services[name].start_ok;
}

bool FakeRunServices::ReadRepositoryPath(std::string* path) {
  calls.push_back("repository");
  *path = repository_ok ? repository : "";
  return repository_ok;
}

bool FakeRunServices::FolderExists(const std::string& path) { return folders.count(path) > 0; }

void FakeRunServices::RemoveFolderTree(const std::string& path) {
  calls.push_back("remove " + path);
}

bool FakeRunServices::Called(const std::string& call) const {
  for (const std::string& made : calls) {
    if (made == call) return true;
  }
  return false;
}

std::string FakeRunServices::CallList() const {
  std::string list;
  for (const std::string& call : calls) list += (list.empty() ? "" : "; ") + call;
  return list;
}

bool FakeStartupServices::ReadRepositoryPath(std::string* path) {
  calls.push_back("repository");
  *path = repository;
  return repository_ok;
}

bool FakeStartupServices::ReadProductVersion(std::string* version_out, bool* absent) {
  calls.push_back("version");
  *version_out = version;
  *absent = share_product_absent;
  return version_ok;
}

bool FakeStartupServices::CheckMainProgram(bool* running) {
  calls.push_back("main-program");
  *running = main_running;
  return main_check_ok;
}

bool FakeStartupServices::CheckShareProgram(bool* running) {
  calls.push_back("share-program");
  *running = share_running;
  return share_check_ok;
}

AppFixture::AppFixture(const std::string& script, platform::Platform& platform)
    : scripted_(script, &platform.files()),
      prompts_(scripted_.ui(), platform),
      context_{scripted_.ui(), platform, services_, prompts_, ""} {}

}  // namespace qdw::testing
