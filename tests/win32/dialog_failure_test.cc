// A dialog the system refuses to make is reported with the system's error and its text, and
// one whose template is missing as such.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/win32_modal_dialog.h"

namespace qdw::win32 {
namespace {

constexpr uint16_t kUnmakeableTemplate = 4711;  // tests/win32/dialog_failure_test.rc
constexpr uint16_t kMissingTemplate = 4712;

class NoHandler : public platform::DialogHandler {
 public:
  bool HandleMessage(platform::DialogWindow&, platform::UiEvent&) override { return false; }
};

// Records the failures; nothing else is expected to happen.
class FailureRecorder : public platform::DialogDriver {
 public:
  struct Failure {
    uint16_t template_id;
    platform::WinError error;
    std::string reason;
  };
  std::vector<Failure> failures;
  int opened = 0;

  void DialogOpened(const platform::DrivenDialog&) override { ++opened; }
  int DialogWaits(platform::DrivenDialog&) override { return 0; }
  int DialogRepaints(const platform::DrivenDialog&) override { return 0; }
  void DialogEnded(uint16_t, int, const std::vector<platform::DrivenControl>&) override {}
  void DialogFailed(uint16_t template_id, platform::WinError error,
                    const std::string& reason) override {
    failures.push_back({template_id, error, reason});
  }
  int AnswerMessageBox(const platform::MessageBoxRequest&) override { return 0; }
  platform::BrowseResult AnswerFolderBrowser(const std::string&, std::string*) override {
    return platform::BrowseResult::kCancelled;
  }
  bool AnswerFileOpen(const platform::FileOpenRequest&, std::string*) override { return false; }
};

TEST(DialogFailureTest, TheSystemsErrorIsReportedNotAMissingTemplate) {
  NoHandler handler;
  FailureRecorder driver;
  HINSTANCE self = GetModuleHandleA(nullptr);
  EXPECT_EQ(RunModalDialog(self, kUnmakeableTemplate, handler, nullptr, &driver),
            platform::kModalFailed);
  EXPECT_EQ(RunModalDialog(self, kMissingTemplate, handler, nullptr, &driver),
            platform::kModalFailed);
  EXPECT_EQ(driver.opened, 0);
  ASSERT_EQ(driver.failures.size(), 2u);
  EXPECT_EQ(driver.failures[0].template_id, kUnmakeableTemplate);
  // Windows names the missing class (1407); Wine leaves 0 or whatever its clean-up set (1400
  // seen). Either way it is the system's word, not a missing template.
  EXPECT_NE(driver.failures[0].error, platform::kErrorResourceNameNotFound);
  EXPECT_FALSE(driver.failures[0].reason.empty());
  EXPECT_EQ(driver.failures[0].reason.find("no such template"), std::string::npos);
  EXPECT_EQ(driver.failures[1].error, platform::kErrorResourceNameNotFound);
  EXPECT_EQ(driver.failures[1].reason, "the resource module has no such template");
}

}  // namespace
}  // namespace qdw::win32
