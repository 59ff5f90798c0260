// The user's actions as every script host checks and carries them out (platform::ScriptedDialog),
// on a headless dialog made from a template in memory.
#include "platform/scripted_dialog.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/headless/headless_window.h"
#include "platform/resources/dialog_template.h"

namespace qdw::headless {
namespace {

constexpr uint32_t kVisible = resources::kWindowStyleVisible;
constexpr uint32_t kSystemMenu = 0x00080000;

// Records what reaches the dialog's handler; everything gets the default handling.
class RecordingHandler : public platform::DialogHandler {
 public:
  bool HandleMessage(platform::DialogWindow& /*window*/, platform::UiEvent& event) override {
    events.push_back(event);
    return false;
  }
  std::vector<platform::UiEvent> events;
};

resources::DialogControl Control(int id, const char* class_name, uint32_t style) {
  resources::DialogControl control;
  control.id = id;
  control.class_name = class_name;
  control.style = style | kVisible;
  return control;
}

resources::DialogTemplate Template(uint32_t style) {
  resources::DialogTemplate dialog;
  dialog.style = style;
  dialog.caption = "Test";
  dialog.controls = {Control(1, "Button", 0x01), Control(10, "Edit", 0),
                     Control(11, "Edit", platform::kEditStyleReadOnly),
                     Control(20, "SysListView32", 0), Control(30, "Button", 0x03)};
  return dialog;
}

TEST(ScriptedDialogTest, TypingNeedsAWritableEdit) {
  RecordingHandler handler;
  HeadlessWindow window(500, Template(kSystemMenu), handler, nullptr);
  EXPECT_EQ(window.UserType(11, "x"), "edit control 11 is read-only");
  EXPECT_EQ(window.UserType(30, "x"), "control 30 is a check, not an edit");
  EXPECT_EQ(window.UserType(10, "typed"), "");
  EXPECT_EQ(window.ControlText(10), "typed");
  EXPECT_EQ(window.UserClick(20), "control 20 is a list, not a button");
  EXPECT_EQ(window.UserClick(30), "");
  EXPECT_TRUE(window.IsChecked(30));
}

TEST(ScriptedDialogTest, AClickOnARowReplacesTheSelectionAndFurtherRowsAreAdded) {
  RecordingHandler handler;
  HeadlessWindow window(500, Template(kSystemMenu), handler, nullptr);
  for (int row = 0; row < 3; ++row) window.ListInsertRow(20, row, "row");
  EXPECT_EQ(window.UserSelect(20, {4}), "list 20 has no row 4 (it has 3)");
  EXPECT_EQ(window.UserSelect(10, {1}), "control 10 is not a list view");
  ASSERT_EQ(window.UserSelect(20, {1, 3}), "");
  ASSERT_EQ(window.UserSelect(20, {2}), "");
  EXPECT_FALSE(window.ListRowState(20, 0) & platform::kListStateSelected);
  EXPECT_TRUE(window.ListRowState(20, 1) & platform::kListStateSelected);
  EXPECT_FALSE(window.ListRowState(20, 2) & platform::kListStateSelected);
  // Only rows whose state changed are reported to the dialog.
  for (const platform::UiEvent& event : handler.events) {
    if (event.message == platform::UiMessage::kNotify) {
      EXPECT_NE(event.old_state, event.new_state);
    }
  }
}

TEST(ScriptedDialogTest, TheSystemMenuOffersOnlyWhatTheDialogHas) {
  RecordingHandler plain_handler;
  HeadlessWindow plain(501, Template(0), plain_handler, nullptr);
  EXPECT_EQ(plain.UserClose(), "dialog 501 has no close button");
  EXPECT_EQ(plain.UserSysCommand(16), "the system menu of dialog 501 has no command 16");

  RecordingHandler handler;
  HeadlessWindow window(500, Template(kSystemMenu), handler, nullptr);
  EXPECT_EQ(window.UserSysCommand(16), "the system menu of dialog 500 has no command 16");
  window.AppendSystemMenuCommand(16, "About");
  EXPECT_EQ(window.UserSysCommand(16), "");
  ASSERT_FALSE(handler.events.empty());
  EXPECT_EQ(handler.events.back().message, platform::UiMessage::kSysCommand);
  EXPECT_EQ(handler.events.back().command, 16u);
}

}  // namespace
}  // namespace qdw::headless
