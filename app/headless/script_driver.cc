#include "app/headless/script_driver.h"

#include <utility>

namespace qdw::headless {

ScriptDriver::ScriptDriver(ScriptDriverOptions options) : player_(std::move(options)) {}

void ScriptDriver::Finish() { player_.Finish(); }

void ScriptDriver::DialogOpened(const platform::DrivenDialog& dialog) {
  player_.DialogOpened(dialog);
}

void ScriptDriver::DialogFailed(uint16_t template_id, platform::WinError error,
                                const std::string& reason) {
  player_.DialogFailed(template_id, error, reason);
}

void ScriptDriver::DialogEnded(uint16_t template_id, int result,
                               const std::vector<platform::DrivenControl>& final_state) {
  player_.DialogEnded(template_id, result, final_state);
}

int ScriptDriver::DialogWaits(platform::DrivenDialog& dialog) {
  return player_.PlayDialogAction(dialog);
}

int ScriptDriver::AnswerMessageBox(const platform::MessageBoxRequest& request) {
  return player_.AnswerMessageBox(request);
}

platform::BrowseResult ScriptDriver::AnswerFolderBrowser(const std::string& title,
                                                         std::string* path) {
  return player_.AnswerFolderBrowser(title, path);
}

bool ScriptDriver::AnswerFileOpen(const platform::FileOpenRequest& request, std::string* path) {
  return player_.AnswerFileOpen(request, path);
}

}  // namespace qdw::headless
