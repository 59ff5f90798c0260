#include "app/headless/headless_host.h"

#include <utility>

#include "app/headless/headless_window.h"
#include "lingvault/language_constants.h"
#include "platform/resources/code_page.h"
#include "platform/resources/dialog_template.h"

namespace qdw::headless {

HeadlessHost::HeadlessHost(HeadlessOptions options) : player_(std::move(options)) {}

HeadlessHost::~HeadlessHost() = default;

int HeadlessHost::RunModal(uint16_t template_id, platform::DialogHandler& handler,
                           platform::DialogWindow* /*owner*/) {
  player_.ThrowIfFailed();
  std::vector<uint8_t> bytes;
  resources::DialogTemplate dialog_template;
  if (module_ == nullptr || !module_->Resource(platform::kResourceDialog, template_id, &bytes) ||
      !resources::ParseDialogTemplate(bytes, language::kCodePage, &dialog_template)) {
    player_.DialogFailed(template_id, platform::kErrorResourceNameNotFound,
                         "the resource module has no such template");
    return platform::kModalFailed;
  }
  HeadlessWindow window(template_id, dialog_template, handler, module_);
  // Nothing is on a screen to be held there either: a due hold is only written down.
  window.set_on_repaint([this](const HeadlessWindow& shown) { player_.DialogRepaints(shown); });
  player_.DialogOpened(window);
  window.Create();
  // Nothing is on a screen to look at, so the script's waits take no time.
  while (!window.ended()) player_.PlayDialogAction(window);
  player_.DialogEnded(template_id, window.result(), window.Controls());
  return window.result();
}

int HeadlessHost::ShowMessageBox(platform::DialogWindow* /*owner*/,
                                 const platform::MessageBoxRequest& request) {
  return player_.AnswerMessageBox(request);
}

platform::BrowseResult HeadlessHost::BrowseForFolder(platform::DialogWindow* /*owner*/,
                                                     const std::string& title, std::string* path) {
  return player_.AnswerFolderBrowser(title, path);
}

bool HeadlessHost::OpenFileDialog(platform::DialogWindow* /*owner*/,
                                  const platform::FileOpenRequest& request, std::string* path) {
  return player_.AnswerFileOpen(request, path);
}

void HeadlessHost::EndWaitCursor() {
  if (wait_cursor_depth_ > 0) --wait_cursor_depth_;
}

}  // namespace qdw::headless
