// A stand-in machine and a backup and restore dialog run from a script, with fake services.
#ifndef QDW_TESTS_APP_FILE_DLG_FIXTURE_H_
#define QDW_TESTS_APP_FILE_DLG_FIXTURE_H_

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>

#include "app/file_dlg.h"
#include "app/headless/transcript.h"
#include "app/mode_dlg.h"
#include "tests/app/app_test_support.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::testing {

class DialogTest : public ::testing::Test {
 protected:
  explicit DialogTest(const sim::Json& patch = sim::Json::object()) : machine_(patch) {
    std::filesystem::create_directories(machine_.HostPath(kDataFolder));
  }

  // Runs `dialog_of(context)` modally under `script`; `setup` configures the fake services
  // first. Returns the failure of the script, empty when every line was met.
  template <class MakeDialog>
  std::string RunDialog(const std::string& script, const MakeDialog& dialog_of,
                        const std::function<void(FakeRunServices&)>& setup = {}) {
    fixture_ = std::make_unique<AppFixture>(script, machine_.platform());
    if (setup) setup(fixture_->services());
    try {
      auto dialog = dialog_of(fixture_->context());
      dialog->DoModal();
      fixture_->scripted().host().Finish();
    } catch (const headless::ScriptFailure&) {
    }
    // QDW_TEST_SHOW_TRANSCRIPT=1 prints what the user would have seen.
    if (std::getenv("QDW_TEST_SHOW_TRANSCRIPT") != nullptr) std::cerr << transcript();
    return fixture_->scripted().failure();
  }

  std::string RunFileDialog(int mode, const std::string& script,
                            const std::function<void(FakeRunServices&)>& setup = {}) {
    return RunDialog(
        script,
        [mode](app::AppContext& context) { return std::make_unique<app::CFileDlg>(context, mode); },
        setup);
  }

  std::string RunModeDialog(int mode, const std::string& script,
                            const std::function<void(FakeRunServices&)>& setup = {}) {
    return RunDialog(
        script,
        [mode](app::AppContext& context) { return std::make_unique<app::CModeDlg>(context, mode); },
        setup);
  }

  // "expect text ID" with the text as the transcript shows it.
  static std::string ExpectText(int id, const std::string& text) {
    return "expect text " + std::to_string(id) + " " + headless::OneLine(text) + "\n";
  }
  // The outcome shown for a failing code: message 125, a line break and the code's message.
  static std::string FailureOutcome(int message) {
    return ModuleText(125) + "\n" + (message == 0 ? "" : ModuleText(message));
  }

  std::string Log() { return machine_.ReadFile(kLogFile); }
  FakeRunServices& services() { return fixture_->services(); }
  std::string transcript() { return fixture_->transcript(); }

  SimTestMachine machine_;
  std::unique_ptr<AppFixture> fixture_;
};

}  // namespace qdw::testing

#endif  // QDW_TESTS_APP_FILE_DLG_FIXTURE_H_
