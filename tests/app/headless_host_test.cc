// The scripted driver: user actions reach the dialog as the messages of a real user, controls
// a user could not reach are refused, and every failure names its line and what was seen.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/framework/dialog.h"
#include "tests/app/app_test_support.h"

namespace qdw::testing {
namespace {

using headless::ScriptFailure;
using platform::UiEvent;
using platform::UiMessage;

// A dialog that records every message it gets and lets the test act at initialisation and
// on a click of control 1003.
class ProbeDialog : public ui::Dialog {
 public:
  ProbeDialog(ui::UiContext& ui, uint16_t template_id) : ui::Dialog(ui, template_id) {}

  std::vector<std::string> events;
  std::function<void(platform::DialogWindow&)> on_init;
  std::function<void(ProbeDialog&)> on_click_1003;

  using ui::Dialog::MessageBox;
  using ui::Dialog::window;

 protected:
  bool OnInitDialog() override {
    if (on_init) on_init(window());
    return true;
  }
  bool DispatchMapped(UiEvent& event) override {
    if (event.message == UiMessage::kCommand) {
      events.push_back("command " + std::to_string(event.control_id) + " " +
                       std::to_string(event.code));
      if (event.control_id == 1003 && on_click_1003) on_click_1003(*this);
      return event.control_id != platform::kIdOk && event.control_id != platform::kIdCancel;
    }
    if (event.message == UiMessage::kNotify) {
      events.push_back("notify " + std::to_string(event.control_id) + " row " +
                       std::to_string(event.item) + " " + std::to_string(event.new_state));
      return true;
    }
    return false;
  }
};

int RunProbe(ProbeDialog& dialog) {
  try {
    return dialog.DoModal();
  } catch (const ScriptFailure&) {
    return -99;
  }
}

bool Contains(const std::vector<std::string>& list, const std::string& item) {
  for (const std::string& entry : list) {
    if (entry == item) return true;
  }
  return false;
}

TEST(HeadlessHostTest, ClicksReachTheDialogAsCommandsAndEndItsRun) {
  ScriptedUi scripted("expect dialog 102\nclick 1003\nclick 2\n");
  ProbeDialog dialog(scripted.ui(), 102);
  EXPECT_EQ(RunProbe(dialog), platform::kIdCancel) << scripted.failure();
  EXPECT_TRUE(Contains(dialog.events, "command 1003 0"));
  EXPECT_TRUE(Contains(dialog.events, "command 2 0"));
  EXPECT_NE(scripted.transcript().find("dialog 102 ended with 2"), std::string::npos);
}

TEST(HeadlessHostTest, RadioButtonClickClearsTheRestOfItsGroup) {
  ScriptedUi scripted(
      "click 1001\nexpect checked 1001\nexpect unchecked 1000\n"
      "click 1000\nexpect checked 1000\nexpect unchecked 1001\nclose\n");
  ProbeDialog dialog(scripted.ui(), 102);
  dialog.on_init = [](platform::DialogWindow& window) { window.SetCheck(1000, true); };
  EXPECT_EQ(RunProbe(dialog), platform::kIdCancel) << scripted.failure();
}

TEST(HeadlessHostTest, ControlsAUserCannotReachAreRefused) {
  struct Case {
    std::string script;
    std::string expected;
  };
  const Case cases[] = {
      {"click 1003\n", "line 1 (click 1003): control 1003 of dialog 102 is hidden"},
      {"click 1\n", "control 1 of dialog 102 is disabled"},
      {"click 4242\n", "control 4242 of dialog 102 does not exist"},
      {"click 1029\n", "control 1029 is a static, not a button"},
      {"type 1000 text\n", "control 1000 is a radio, not an edit"},
      {"select 1003 1\n", "is hidden"},
  };
  for (const Case& c : cases) {
    ScriptedUi scripted(c.script);
    ProbeDialog dialog(scripted.ui(), 102);
    dialog.on_init = [](platform::DialogWindow& window) {
      window.ShowControl(1003, false);
      window.EnableControl(platform::kIdOk, false);
    };
    EXPECT_EQ(RunProbe(dialog), -99) << c.script;
    EXPECT_NE(scripted.failure().find(c.expected), std::string::npos)
        << c.script << " gave: " << scripted.failure();
    EXPECT_TRUE(dialog.events.empty()) << c.script;
  }
}

TEST(HeadlessHostTest, FailuresNameTheLineAndWhatWasSeen) {
  struct Case {
    std::string script;
    std::string expected;
  };
  const Case cases[] = {
      {"", "the script ended while dialog 102 \"" + ModuleDialogCaption(102) + "\" waits"},
      {"click 1003\n", "script: the script ended while dialog 102"},
      {"expect dialog 105\n", "line 1 (expect dialog 105): saw dialog 102"},
      {"# comment\n\nexpect text 1029 Other\n",
       "line 3 (expect text 1029 Other): control 1029 is \"Heading\""},
      {"expect hidden 1000\n", "control 1000 is shown"},
      {"answer yes\n", "no message box, folder browser or file dialog is open"},
      {"frobnicate 12\n", "line 1: cannot understand \"frobnicate 12\""},
  };
  for (const Case& c : cases) {
    ScriptedUi scripted(c.script);
    ProbeDialog dialog(scripted.ui(), 102);
    dialog.on_init = [](platform::DialogWindow& window) { window.SetControlText(1029, "Heading"); };
    EXPECT_EQ(RunProbe(dialog), -99) << c.script;
    EXPECT_NE(scripted.failure().find(c.expected), std::string::npos)
        << c.script << " gave: " << scripted.failure();
    EXPECT_NE(scripted.transcript().find("FAILED: "), std::string::npos);
  }
}

TEST(HeadlessHostTest, EditChangesAreNotifiedForTypingAndForTheProgramsOwnText) {
  ScriptedUi scripted("type 1008 D:\\Backup\nexpect text 1008 D:\\Backup\ntype 1008\nclose\n");
  ProbeDialog dialog(scripted.ui(), 105);
  dialog.on_init = [](platform::DialogWindow& window) { window.SetControlText(1013, "name"); };
  EXPECT_EQ(RunProbe(dialog), platform::kIdCancel) << scripted.failure();
  // One change for the program's text, two for the typing.
  int changes_1013 = 0;
  int changes_1008 = 0;
  for (const std::string& event : dialog.events) {
    changes_1013 += event == "command 1013 768";
    changes_1008 += event == "command 1008 768";
  }
  EXPECT_EQ(changes_1013, 1);
  EXPECT_EQ(changes_1008, 2);
}

TEST(HeadlessHostTest, MessageBoxesAreAnsweredByScriptWithTheirOwnButtons) {
  ScriptedUi scripted(
      "click 1003\nexpect message 107\nanswer ok\n"
      "click 1003\nanswer no\nclose\n");
  ProbeDialog dialog(scripted.ui(), 102);
  std::vector<int> answers;
  bool first = true;
  dialog.on_click_1003 = [&](ProbeDialog& self) {
    answers.push_back(first ? self.MessageBox(107)
                            : self.MessageBox(145, platform::MessageBoxButtons::kYesNo));
    first = false;
  };
  EXPECT_EQ(RunProbe(dialog), platform::kIdCancel) << scripted.failure();
  EXPECT_EQ(answers, (std::vector<int>{platform::kIdOk, platform::kIdNo}));
  EXPECT_NE(scripted.transcript().find("message 107 \"" + scripted.Text(107) + "\" [OK]"),
            std::string::npos)
      << scripted.transcript();
  EXPECT_NE(scripted.transcript().find("message 145"), std::string::npos);
}

TEST(HeadlessHostTest, WrongAnswersAndWrongMessagesFail) {
  const std::pair<std::string, std::string> cases[] = {
      {"click 1003\nanswer yes\n", "has an OK button"},
      {"click 1003\nexpect message 108\n", "saw message 107"},
      {"click 1003\nclick 2\n", "saw message 107"},
  };
  for (const auto& [script, expected] : cases) {
    ScriptedUi scripted(script);
    ProbeDialog dialog(scripted.ui(), 102);
    dialog.on_click_1003 = [](ProbeDialog& self) { self.MessageBox(107); };
    EXPECT_EQ(RunProbe(dialog), -99);
    EXPECT_NE(scripted.failure().find(expected), std::string::npos) << scripted.failure();
  }
}

TEST(HeadlessHostTest, CloseActsAsCancelUnlessCancelIsDisabled) {
  ScriptedUi scripted("close\nclick 1\n");
  ProbeDialog dialog(scripted.ui(), 102);
  dialog.on_init = [](platform::DialogWindow& window) {
    window.EnableControl(platform::kIdCancel, false);
  };
  EXPECT_EQ(RunProbe(dialog), platform::kIdOk) << scripted.failure();
  EXPECT_FALSE(Contains(dialog.events, "command 2 0"));
}

TEST(HeadlessHostTest, ListRowsAreSelectedLikeClicksWithNotifications) {
  ScriptedUi scripted("select 1006 2 4\nexpect rows 1006 5\nexpect cell 1006 4 1 d\nclose\n");
  ProbeDialog dialog(scripted.ui(), 104);
  dialog.on_init = [](platform::DialogWindow& window) {
    window.ListInsertColumn(1006, 0, "No.");
    for (int row = 0; row < 5; ++row) {
      window.ListInsertRow(1006, row, std::to_string(row + 1));
      window.ListSetCell(1006, row, 1, std::string(1, static_cast<char>('a' + row)));
    }
  };
  EXPECT_EQ(RunProbe(dialog), platform::kIdCancel) << scripted.failure();
  EXPECT_TRUE(Contains(dialog.events, "notify 1006 row 1 3"));
  EXPECT_TRUE(Contains(dialog.events, "notify 1006 row 3 3"));
  EXPECT_NE(scripted.transcript().find("row 2 (selected): \"2\" \"b\""), std::string::npos)
      << scripted.transcript();
  EXPECT_NE(scripted.transcript().find("row 4 (selected): \"4\" \"d\""), std::string::npos);
  EXPECT_NE(scripted.transcript().find("row 3: \"3\" \"c\""), std::string::npos);
}

TEST(HeadlessHostTest, SelectingARowThatIsNotThereFails) {
  ScriptedUi scripted("select 1006 3\n");
  ProbeDialog dialog(scripted.ui(), 104);
  EXPECT_EQ(RunProbe(dialog), -99);
  EXPECT_NE(scripted.failure().find("list 1006 has no row 3 (it has 0)"), std::string::npos);
}

TEST(HeadlessHostTest, LeftOverActionsFailAtTheEnd) {
  ScriptedUi scripted("close\nexpect message 110\n");
  ProbeDialog dialog(scripted.ui(), 102);
  EXPECT_EQ(RunProbe(dialog), platform::kIdCancel);
  EXPECT_THROW(scripted.host().Finish(), ScriptFailure);
  EXPECT_NE(scripted.failure().find("line 2 (expect message 110): the program ended before"),
            std::string::npos)
      << scripted.failure();
}

TEST(HeadlessHostTest, DialogWithoutTemplateCannotBeCreated) {
  ScriptedUi scripted("");
  ProbeDialog dialog(scripted.ui(), 4321);
  EXPECT_EQ(dialog.DoModal(), platform::kModalFailed);
  EXPECT_NE(scripted.transcript().find("dialog 4321 could not be created"), std::string::npos);
  scripted.host().Finish();
  EXPECT_TRUE(scripted.failure().empty());
}

TEST(HeadlessHostTest, FinalStateIsWrittenWhenTheDialogEnds) {
  ScriptedUi scripted("close\n");
  ProbeDialog dialog(scripted.ui(), 102);
  dialog.on_init = [](platform::DialogWindow& window) {
    window.SetCheck(1000, true);
    window.SetControlText(1000, "Back up");
    window.EnableControl(1001, false);
  };
  RunProbe(dialog);
  const std::string transcript = scripted.transcript();
  EXPECT_NE(transcript.find("dialog 102 \"" + ModuleDialogCaption(102) + "\" opened"),
            std::string::npos);
  EXPECT_NE(transcript.find("1000 radio shown enabled checked \"Back up\""), std::string::npos)
      << transcript;
  EXPECT_NE(transcript.find("1001 radio shown disabled unchecked"), std::string::npos);
}

}  // namespace
}  // namespace qdw::testing
