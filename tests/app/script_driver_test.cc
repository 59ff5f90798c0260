// The script driver of real dialogs: actions reach the dialog in script order, expectations
// are checked against what the dialog shows, message boxes and shell dialogs are answered, and
// every failure names its line, is written to the transcript and ends the run.
#include "app/headless/script_driver.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/headless/headless_host.h"

namespace qdw::testing {
namespace {

using headless::ScriptDriver;
using headless::ScriptFailure;
using platform::DrivenControl;

DrivenControl Control(int id, const std::string& class_name, uint32_t style,
                      const std::string& text, bool shown = true) {
  DrivenControl control;
  control.id = id;
  control.class_name = class_name;
  control.style = style;
  control.text = text;
  control.shown = shown;
  control.enabled = true;
  return control;
}

// A dialog that records the user's actions and shows the controls the test gives it.
class RecordingDialog : public platform::DrivenDialog {
 public:
  std::vector<std::string> actions;
  std::vector<DrivenControl> controls;
  std::string refusal;  // what every action answers

  uint16_t TemplateId() const override { return 105; }
  std::string Caption() const override { return "Backup"; }
  std::vector<DrivenControl> Controls() const override { return controls; }
  std::string UserClick(int id) override { return Record("click " + std::to_string(id)); }
  std::string UserType(int id, const std::string& text) override {
    return Record("type " + std::to_string(id) + " [" + text + "]");
  }
  std::string UserSelect(int id, const std::vector<int>& rows) override {
    std::string line = "select " + std::to_string(id);
    for (int row : rows) line += " " + std::to_string(row);
    return Record(line);
  }
  std::string UserClose() override { return Record("close"); }
  std::string UserSysCommand(uint32_t command) override {
    return Record("sysmenu " + std::to_string(command));
  }

 private:
  std::string Record(const std::string& action) {
    actions.push_back(action);
    return refusal;
  }
};

class ScriptDriverTest : public ::testing::Test {
 protected:
  ScriptDriver& Driver(const std::string& script) {
    headless::ScriptDriverOptions options;
    options.script = script;
    options.script_name = "run.txt";
    options.transcript = &transcript_;
    options.on_failure = [this](const std::string& what) { failures_.push_back(what); };
    driver_ = std::make_unique<ScriptDriver>(std::move(options));
    return *driver_;
  }

  // Plays the dialog until the script fails or `steps` actions were taken.
  void Play(int steps) {
    for (int i = 0; i < steps; ++i) driver_->DialogWaits(dialog_);
  }

  RecordingDialog dialog_;
  std::ostringstream transcript_;
  std::vector<std::string> failures_;
  std::unique_ptr<ScriptDriver> driver_;
};

TEST_F(ScriptDriverTest, UserActionsReachTheDialogInScriptOrder) {
  Driver(
      "# comment\nclick 1\ntype 1008 C:\\Backups\\Mine\ntype 1013 \nselect 1006 2 3\n"
      "sysmenu 16\nclose\n");
  Play(6);
  EXPECT_EQ(dialog_.actions,
            (std::vector<std::string>{"click 1", "type 1008 [C:\\Backups\\Mine]", "type 1013 []",
                                      "select 1006 2 3", "sysmenu 16", "close"}));
  driver_->Finish();
  EXPECT_TRUE(failures_.empty());
  EXPECT_NE(transcript_.str().find("> select 1006 2 3    (line 5)"), std::string::npos);
}

TEST_F(ScriptDriverTest, WaitReturnsItsTimeAndIsBounded) {
  Driver("wait 1500\nclick 1\n");
  EXPECT_EQ(driver_->DialogWaits(dialog_), 1500);
  EXPECT_EQ(driver_->DialogWaits(dialog_), 0);
  EXPECT_EQ(dialog_.actions, std::vector<std::string>{"click 1"});

  // A pause without end would hang an unattended run.
  for (const char* bad : {"wait 600001\n", "wait -1\n", "wait\n", "wait 5 6\n"}) {
    SCOPED_TRACE(bad);
    failures_.clear();
    Driver(bad);
    EXPECT_THROW(driver_->DialogWaits(dialog_), ScriptFailure);
    ASSERT_EQ(failures_.size(), 1u);
    EXPECT_NE(failures_[0].find("cannot understand"), std::string::npos) << failures_[0];
  }
}

TEST_F(ScriptDriverTest, ExpectationsCheckWhatTheDialogShows) {
  dialog_.controls = {Control(1033, "Static", 0x50000000, "Done.\nAll well."),
                      Control(1008, "Edit", 0x50010080, "C:\\Backups", false),
                      Control(1000, "Button", 0x50010009, "&Back up")};
  dialog_.controls[2].checked = true;
  DrivenControl list = Control(1006, "SysListView32", 0x50810001, "");
  list.rows = {{"1", "Backup"}, {"2", "Restore"}};
  list.selected = {false, true};
  dialog_.controls.push_back(list);
  Driver(
      "expect dialog 105\nexpect text 1033 Done.\\nAll well.\nexpect hidden 1008\n"
      "expect shown 1033\nexpect checked 1000\nexpect rows 1006 2\n"
      "expect cell 1006 2 1 Restore\nexpect cell 1006 3 0 \n");
  Play(8);
  driver_->Finish();
  EXPECT_TRUE(failures_.empty()) << transcript_.str();
  EXPECT_TRUE(dialog_.actions.empty());
}

TEST_F(ScriptDriverTest, UnmetExpectationFailsWithItsLineAndWhatWasSeen) {
  dialog_.controls = {Control(1033, "Static", 0x50000000, "Failed.")};
  Driver("expect text 1033 Done.\n");
  EXPECT_THROW(Play(1), ScriptFailure);
  ASSERT_EQ(failures_.size(), 1u);
  EXPECT_EQ(failures_[0], "run.txt line 1 (expect text 1033 Done.): control 1033 is \"Failed.\"");
  EXPECT_NE(transcript_.str().find("FAILED: run.txt line 1"), std::string::npos);
  // Once failed, nothing more is played.
  EXPECT_THROW(driver_->AnswerMessageBox({}), ScriptFailure);
  EXPECT_EQ(failures_.size(), 1u);

  failures_.clear();
  Driver("expect dialog 102\n");
  EXPECT_THROW(Play(1), ScriptFailure);
  EXPECT_NE(failures_[0].find("saw dialog 105 \"Backup\" waiting"), std::string::npos);

  failures_.clear();
  Driver("expect shown 4242\n");
  EXPECT_THROW(Play(1), ScriptFailure);
  EXPECT_NE(failures_[0].find("dialog 105 has no control 4242"), std::string::npos);
}

TEST_F(ScriptDriverTest, ActionsTheUserCouldNotDoFail) {
  dialog_.refusal = "control 1 of dialog 105 is disabled";
  Driver("click 1\n");
  EXPECT_THROW(Play(1), ScriptFailure);
  EXPECT_EQ(failures_[0], "run.txt line 1 (click 1): control 1 of dialog 105 is disabled");

  failures_.clear();
  dialog_.refusal.clear();
  Driver("answer yes\n");
  EXPECT_THROW(Play(1), ScriptFailure);
  EXPECT_NE(failures_[0].find("no message box, folder browser or file dialog is open"),
            std::string::npos);
}

TEST_F(ScriptDriverTest, TheScriptRunningOutOrLeftOverFails) {
  Driver("click 1\n");
  Play(1);
  EXPECT_THROW(Play(1), ScriptFailure);
  EXPECT_NE(failures_[0].find("the script ended while dialog 105 \"Backup\" waits"),
            std::string::npos);

  failures_.clear();
  Driver("click 1\nclick 2\nclose\n");
  Play(1);
  EXPECT_THROW(driver_->Finish(), ScriptFailure);
  EXPECT_EQ(failures_[0],
            "run.txt line 2 (click 2): the program ended before this action; 2 action(s) left");
}

TEST_F(ScriptDriverTest, MessageBoxesAreAnsweredWithTheirOwnButtons) {
  platform::MessageBoxRequest yes_no;
  yes_no.string_id = 123;
  yes_no.text = "Restore now?";
  yes_no.buttons = platform::MessageBoxButtons::kYesNo;
  platform::MessageBoxRequest ok;
  ok.string_id = 119;
  ok.text = "Not found.";
  Driver("expect message 123\nanswer no\nanswer yes\nclose\nanswer ok\n");
  EXPECT_EQ(driver_->AnswerMessageBox(yes_no), platform::kIdNo);
  EXPECT_EQ(driver_->AnswerMessageBox(yes_no), platform::kIdYes);
  EXPECT_EQ(driver_->AnswerMessageBox(ok), platform::kIdOk);
  EXPECT_EQ(driver_->AnswerMessageBox(ok), platform::kIdOk);
  EXPECT_NE(transcript_.str().find("message 123 \"Restore now?\" [Yes] [No]"), std::string::npos);

  Driver("answer ok\n");
  EXPECT_THROW(driver_->AnswerMessageBox(yes_no), ScriptFailure);
  EXPECT_NE(failures_.back().find("has Yes and No buttons"), std::string::npos);
  Driver("close\n");
  EXPECT_THROW(driver_->AnswerMessageBox(yes_no), ScriptFailure);
  EXPECT_NE(failures_.back().find("cannot be closed"), std::string::npos);
  Driver("expect message 120\n");
  EXPECT_THROW(driver_->AnswerMessageBox(ok), ScriptFailure);
  EXPECT_NE(failures_.back().find("saw message 119"), std::string::npos);
}

TEST_F(ScriptDriverTest, ShellDialogsTakeAPathOrCancel) {
  platform::FileOpenRequest request;
  request.filter = "Backup|*.qdw||";
  Driver("browse D:\\Backups\nbrowse cancel\nbrowse C:\\In\\Set.qdw\nbrowse cancel\nclick 1\n");
  std::string path = "C:\\";
  EXPECT_EQ(driver_->AnswerFolderBrowser("Choose", &path), platform::BrowseResult::kChosen);
  EXPECT_EQ(path, "D:\\Backups");
  EXPECT_EQ(driver_->AnswerFolderBrowser("Choose", &path), platform::BrowseResult::kCancelled);
  EXPECT_EQ(path, "D:\\Backups");
  EXPECT_TRUE(driver_->AnswerFileOpen(request, &path));
  EXPECT_EQ(path, "C:\\In\\Set.qdw");
  EXPECT_FALSE(driver_->AnswerFileOpen(request, &path));
  EXPECT_THROW(driver_->AnswerFileOpen(request, &path), ScriptFailure);
  EXPECT_NE(failures_.back().find("the file-open dialog waits"), std::string::npos);
}

TEST_F(ScriptDriverTest, EndedDialogsShowTheirFinalStateAsTheHeadlessHostWritesIt) {
  DrivenControl radio = Control(1000, "Button", 0x50030009, "&Back up");
  radio.checked = true;
  DrivenControl list = Control(1006, "SysListView32", 0x50810001, "");
  list.rows = {{"1", "a\tb"}};
  list.selected = {true};
  DrivenControl animation = Control(1036, "SysAnimate32", 0x40000005, "", false);
  animation.playing = true;
  const std::vector<DrivenControl> state = {Control(-1, "Static", 0x50000000, "label"), radio, list,
                                            animation, Control(2, "Button", 0x50010000, "Close")};
  Driver("");
  driver_->DialogEnded(105, 2, state);
  EXPECT_EQ(transcript_.str(),
            "dialog 105 ended with 2\n"
            "  1000 radio shown enabled checked \"&Back up\"\n"
            "  1006 list shown enabled \"\"\n"
            "    row 1 (selected): \"1\" \"a\\tb\"\n"
            "  1036 animation hidden enabled playing \"\"\n"
            "  2 button shown enabled \"Close\"\n");
}

}  // namespace
}  // namespace qdw::testing
