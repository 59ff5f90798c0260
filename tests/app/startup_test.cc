// Start-up: the single-instance guard, the product checks in their fixed order with their
// messages, the missing resource module, and the choice dialog it opens.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/backup_app.h"
#include "app/mode_dlg.h"
#include "tests/app/file_dlg_fixture.h"

namespace qdw::testing {
namespace {

class StartupTest : public ::testing::Test {
 protected:
  // Runs start-up under `script`; returns the script's failure, empty when every line was met.
  std::string Start(const std::string& script) {
    scripted_ = std::make_unique<ScriptedUi>(script, &machine_.platform().files());
    app_ =
        std::make_unique<app::CBackupApp>(machine_.platform(), scripted_->host(), startup_, run_);
    try {
      EXPECT_FALSE(app_->InitInstance());
      scripted_->host().Finish();
    } catch (const headless::ScriptFailure&) {
    }
    return scripted_->failure();
  }
  std::string Calls() const {
    std::string list;
    for (const std::string& call : startup_.calls) list += (list.empty() ? "" : "; ") + call;
    return list;
  }

  SimTestMachine machine_;
  FakeStartupServices startup_;
  FakeRunServices run_;
  std::unique_ptr<ScriptedUi> scripted_;
  std::unique_ptr<app::CBackupApp> app_;
};

TEST_F(StartupTest, OpensTheChoiceDialogWithBackupPreselected) {
  EXPECT_EQ(Start("expect dialog 102\nexpect checked 1000\nexpect enabled 1\nclose\n"), "");
  EXPECT_EQ(Calls(), "rights; repository; version; main-program; share-program");
  EXPECT_TRUE(app_->resource_module_loaded());
}

TEST_F(StartupTest, ChecksStopTheStartInTheirOrderWithTheirMessages) {
  struct Case {
    std::function<void(FakeStartupServices&)> setup;
    int message;
    std::string calls;
  };
  const Case cases[] = {
      {[](FakeStartupServices& s) { s.repository_ok = false, s.version_ok = false; }, 108,
       "rights; repository"},
      {[](FakeStartupServices& s) { s.repository = ""; }, 109, "rights; repository"},
      {[](FakeStartupServices& s) { s.version_ok = false, s.main_running = true; }, 175,
       "rights; repository; version"},
      {[](FakeStartupServices& s) { s.main_check_ok = false; }, 108,
       "rights; repository; version; main-program"},
      {[](FakeStartupServices& s) { s.main_running = true, s.share_running = true; }, 110,
       "rights; repository; version; main-program"},
      {[](FakeStartupServices& s) { s.share_check_ok = false; }, 177,
       "rights; repository; version; main-program; share-program"},
      {[](FakeStartupServices& s) { s.share_running = true; }, 178,
       "rights; repository; version; main-program; share-program"},
  };
  for (const Case& c : cases) {
    startup_ = FakeStartupServices();
    c.setup(startup_);
    EXPECT_EQ(Start("expect message " + std::to_string(c.message) + "\nanswer ok\n"), "")
        << c.message;
    EXPECT_EQ(Calls(), c.calls) << c.message;
  }
}

TEST_F(StartupTest, VersionMustNotSortBeforeTheRequiredDigit) {
  struct Case {
    std::string version;
    bool share_product_absent;
    bool passes;
  };
  const Case cases[] = {
      {"1.0", false, true}, {"1.9", true, false},  {"2.0", true, true}, {"3", true, true},
      {"A1", true, true},   {"0.9", false, false}, {"", false, false},
  };
  for (const Case& c : cases) {
    startup_ = FakeStartupServices();
    startup_.version = c.version;
    startup_.share_product_absent = c.share_product_absent;
    EXPECT_EQ(Start(c.passes ? "expect dialog 102\nclose\n" : "expect message 175\nanswer ok\n"),
              "")
        << c.version << " " << c.share_product_absent;
  }
}

TEST_F(StartupTest, SecondCopyShowsMessage107AndChecksNothing) {
  std::unique_ptr<platform::NamedMutex> first;
  ASSERT_EQ(machine_.platform().mutexes().Create("UniqueName", true, &first), platform::kSuccess);
  EXPECT_EQ(Start("expect message 107\nanswer ok\n"), "");
  EXPECT_EQ(Calls(), "");
  first.reset();
  // Once the first copy has ended, the program starts.
  EXPECT_EQ(Start("expect dialog 102\nclose\n"), "");
}

TEST_F(StartupTest, MutexIsReleasedWhenTheProgramEnds) {
  EXPECT_EQ(Start("close\n"), "");
  std::unique_ptr<platform::NamedMutex> after;
  EXPECT_EQ(machine_.platform().mutexes().Create("UniqueName", true, &after), platform::kSuccess);
}

TEST_F(StartupTest, MissingResourceModuleLeavesNoDialogToShow) {
  machine_.machine().faults().AddRule("Libraries.Load", 1, platform::kErrorModNotFound,
                                      "Lingvault.dll");
  EXPECT_EQ(Start(""), "");
  EXPECT_FALSE(app_->resource_module_loaded());
  EXPECT_NE(scripted_->transcript().find("dialog 102 could not be created"), std::string::npos);
}

TEST_F(StartupTest, ExceptionWhileTheDialogsRunShowsMessage115) {
  run_.new_engine_throws = true;
  EXPECT_EQ(Start("click 1\ntype 1008 D:\\Backup\nclick 1\nexpect message 115\nanswer ok\n"), "");
}

class ModeDlgTest : public DialogTest {};

TEST_F(ModeDlgTest, PreselectsTheModeItIsGiven) {
  EXPECT_EQ(RunModeDialog(
                1, "expect checked 1000\nexpect unchecked 1001\nexpect enabled 1\n" +
                       ExpectText(1029, ModuleText(1029)) + ExpectText(1000, ModuleText(1030)) +
                       ExpectText(1001, ModuleText(1031)) + ExpectText(1003, ModuleText(1032)) +
                       ExpectText(1, ModuleText(155)) + ExpectText(2, ModuleText(2)) + "close\n"),
            "");
  EXPECT_EQ(RunModeDialog(3, "expect unchecked 1000\nexpect checked 1001\nclose\n"), "");
  EXPECT_EQ(RunModeDialog(0,
                          "expect unchecked 1000\nexpect unchecked 1001\nexpect disabled 1\n"
                          "click 1001\nexpect enabled 1\nclose\n"),
            "");
}

TEST_F(ModeDlgTest, OkHandsOverToTheBackupAndRestoreDialog) {
  EXPECT_EQ(RunModeDialog(1,
                          "click 1001\nclick 1\nexpect dialog 105\nexpect shown 1009\n"
                          "expect hidden 1008\nclose\n"),
            "");
  EXPECT_NE(transcript().find("dialog 102 ended with 1"), std::string::npos);
}

TEST_F(ModeDlgTest, AboutBoxHangsOffTheSystemMenu) {
  EXPECT_EQ(RunModeDialog(1,
                          "sysmenu 16\nexpect dialog 100\nclick 1\nexpect dialog 102\n"
                          "sysmenu 16\nexpect dialog 100\nclose\nclose\n"),
            "");
  EXPECT_NE(RunModeDialog(1, "sysmenu 32\n").find("has no command 32"), std::string::npos);
}

}  // namespace
}  // namespace qdw::testing
