// The dialog templates of the built resource module: the controls the program drives, their
// kinds, their place in the dialog, and room for every text the program puts into them.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/resources/dialog_template.h"
#include "platform/resources/string_table.h"
#include "tests/platform/resources/dialog_text_fit.h"
#include "tests/platform/resources/lingvault_fixture.h"

namespace qdw::resources::testing {
namespace {

constexpr uint32_t kListViewTypeMask = 0x3;
constexpr uint32_t kListViewReport = 0x1;

class LingvaultDialogTest : public LingvaultTest {
 protected:
  DialogTemplate Template(uint16_t id) {
    DialogTemplate dialog;
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(module_->Resource(platform::kResourceDialog, id, &bytes)) << "template " << id;
    EXPECT_TRUE(ParseDialogTemplate(bytes, LingvaultCodePage(), &dialog)) << "template " << id;
    return dialog;
  }
};

TEST_F(LingvaultDialogTest, EveryTemplateHasExactlyTheControlsTheProgramDrives) {
  std::set<uint16_t> listed;
  for (const ExpectedDialog& expected : dialogs_) {
    SCOPED_TRACE("template " + std::to_string(expected.id));
    listed.insert(expected.id);
    const DialogTemplate dialog = Template(expected.id);
    std::set<int32_t> ids;
    for (const DialogControl& control : dialog.controls) {
      if (control.id == -1) continue;
      EXPECT_TRUE(ids.insert(control.id).second) << "control " << control.id << " twice";
    }
    EXPECT_EQ(ids, expected.controls);
    for (const auto& [id, class_name] : expected.classes) {
      const DialogControl* control = dialog.Control(id);
      ASSERT_NE(control, nullptr) << id;
      EXPECT_EQ(control->class_name, class_name) << "control " << id;
    }
  }
  std::set<uint16_t> in_module;
  for (uint16_t id : module_->image().ResourceIds(platform::kResourceDialog)) in_module.insert(id);
  EXPECT_EQ(in_module, listed);
}

TEST_F(LingvaultDialogTest, TemplatesUseTheShellFontAndKeepTheirControlsInside) {
  for (const ExpectedDialog& expected : dialogs_) {
    SCOPED_TRACE("template " + std::to_string(expected.id));
    const DialogTemplate dialog = Template(expected.id);
    EXPECT_TRUE(dialog.extended);
    EXPECT_TRUE(dialog.has_font);
    EXPECT_EQ(dialog.font_name, "MS Shell Dlg");
    EXPECT_EQ(dialog.font_points, 8);
    EXPECT_FALSE(dialog.caption.empty());
    for (const DialogControl& control : dialog.controls) {
      EXPECT_GE(control.x, 0) << control.id;
      EXPECT_GE(control.y, 0) << control.id;
      EXPECT_LE(control.x + control.cx, dialog.cx) << "control " << control.id;
      EXPECT_LE(control.y + control.cy, dialog.cy) << "control " << control.id;
    }
  }
}

TEST_F(LingvaultDialogTest, ListAnimationAndOutcomeAreSetUpForTheirUse) {
  const DialogTemplate log = Template(104);
  const DialogControl* list = log.Control(1006);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->style & kListViewTypeMask, kListViewReport);

  const DialogTemplate run = Template(105);
  // The animation, the line and the bar of a run's progress, and the outcome appear only once
  // a run has started or ended.
  for (int id : {1036, 1037, 1038, 1033}) {
    const DialogControl* control = run.Control(id);
    ASSERT_NE(control, nullptr) << id;
    EXPECT_EQ(control->style & kWindowStyleVisible, 0u) << id;
  }

  // The icon controls show the tool's icon group.
  for (const ExpectedDialog& expected : dialogs_) {
    for (const DialogControl& control : Template(expected.id).controls) {
      if (control.text.is_ordinal) {
        EXPECT_EQ(control.text.ordinal, 9002) << expected.id;
      }
    }
  }
}

TEST_F(LingvaultDialogTest, EveryTextFitsTheControlItIsShownIn) {
  const ResourceStrings strings(module_, LingvaultCodePage());
  for (const ExpectedDialog& expected : dialogs_) {
    const DialogTemplate dialog = Template(expected.id);
    // Texts the program puts in at run time.
    for (const ExpectedText& text : expected.texts) {
      const DialogControl* control = dialog.Control(text.control);
      ASSERT_NE(control, nullptr) << expected.id << "/" << text.control;
      for (uint16_t id : text.texts) {
        std::string shown = strings.Text(id);
        if (text.outcome) shown = strings.Text(text.head) + "\n" + shown;
        std::string why;
        EXPECT_TRUE(TextFitsControl(*control, shown, &why, LingvaultCodePage()))
            << "template " << expected.id << ", control " << text.control << ", string " << id
            << ": " << why;
      }
    }
    // Texts written into the template itself.
    for (const DialogControl& control : dialog.controls) {
      if (control.text.is_ordinal || control.text.name.empty()) continue;
      std::string why;
      EXPECT_TRUE(TextFitsControl(control, control.text.name, &why, LingvaultCodePage()))
          << "template " << expected.id << ", control " << control.id << ": " << why;
    }
  }
}

// The estimate itself: a check that could never fail would let every layout through.
TEST(DialogTextFitTest, EstimateCountsShortcutsWrapsWordsAndRefusesOverflow) {
  EXPECT_EQ(TextWidth("&Next >", true), TextWidth("Next >", false));
  EXPECT_EQ(TextWidth("a&&b", true), TextWidth("a&b", false));
  EXPECT_GT(TextWidth("WWWW", false), TextWidth("iiii", false));
  EXPECT_EQ(WrappedLines("one two", 1000, false), 1);
  EXPECT_EQ(WrappedLines("one\ntwo", 1000, false), 2);
  EXPECT_EQ(WrappedLines("one two", TextWidth("one", false), false), 2);
  EXPECT_EQ(WrappedLines("unbreakable", 10, false), -1);

  DialogControl button;
  button.class_name = "Button";
  button.cx = 50;
  button.cy = 14;
  std::string why;
  EXPECT_TRUE(TextFitsControl(button, "Cancel", &why));
  EXPECT_FALSE(TextFitsControl(button, "Cancel the whole operation", &why));
  DialogControl label;
  label.class_name = "Static";
  label.cx = 60;
  label.cy = 8;
  EXPECT_TRUE(TextFitsControl(label, "Short", &why));
  EXPECT_FALSE(TextFitsControl(label, "A text that needs two lines here", &why));
  label.cy = 16;
  EXPECT_TRUE(TextFitsControl(label, "A text that needs two lines", &why)) << why;
}

// Japanese text: each two-byte character is one full-width character, and lines break between
// them without blanks.
TEST(DialogTextFitTest, JapaneseCharactersCountFullWidthAndBreakAnywhere) {
  std::string kana;  // four hiragana "a" in code page 932
  for (int i = 0; i < 4; ++i) kana += "\x82\xA0";
  EXPECT_EQ(TextWidth(kana, false, kCodePageJapanese),
            2 * TextWidth("\x82\xA0\x82\xA0", false, kCodePageJapanese));
  EXPECT_GT(TextWidth("\x82\xA0", false, kCodePageJapanese), TextWidth("a", false));
  const int two = TextWidth("\x82\xA0\x82\xA0", false, kCodePageJapanese);
  EXPECT_EQ(WrappedLines(kana, two, false, kCodePageJapanese), 2);
  EXPECT_EQ(WrappedLines(kana, 1, false, kCodePageJapanese), -1);
  // A shortcut marker after a trail byte is still a marker; "(&D)" draws as "(D)".
  EXPECT_EQ(TextWidth("\x8D\xED(&D)", true, kCodePageJapanese),
            TextWidth("\x8D\xED(D)", false, kCodePageJapanese));
}

}  // namespace
}  // namespace qdw::resources::testing
