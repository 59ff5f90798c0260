#include "app/headless/headless_host.h"

#include <utility>

#include "app/headless/headless_window.h"
#include "lingvault/language_constants.h"
#include "platform/resources/code_page.h"
#include "platform/resources/dialog_template.h"

namespace qdw::headless {

namespace {

std::string DialogName(const HeadlessWindow& window) {
  return "dialog " + std::to_string(window.TemplateId()) + " " + Quote(window.caption());
}

}  // namespace

HeadlessHost::HeadlessHost(HeadlessOptions options) : player_(std::move(options)) {}

HeadlessHost::~HeadlessHost() = default;

int HeadlessHost::RunModal(uint16_t template_id, platform::DialogHandler& handler,
                           platform::DialogWindow* /*owner*/) {
  player_.ThrowIfFailed();
  std::vector<uint8_t> bytes;
  resources::DialogTemplate dialog_template;
  if (module_ == nullptr || !module_->Resource(platform::kResourceDialog, template_id, &bytes) ||
      !resources::ParseDialogTemplate(bytes, language::kCodePage, &dialog_template)) {
    player_.transcript().Line("dialog " + std::to_string(template_id) +
                              " could not be created: the resource module has no such template");
    return platform::kModalFailed;
  }
  HeadlessWindow window(template_id, dialog_template, handler, module_);
  player_.transcript().Line(DialogName(window) + " opened");
  window.Create();
  while (!window.ended()) {
    const std::string waiting = DialogName(window);
    RunDialogAction(window, player_.NextAction(waiting), waiting);
  }
  player_.transcript().Line("dialog " + std::to_string(template_id) + " ended with " +
                            std::to_string(window.result()));
  player_.transcript().Block(window.DescribeState("  "));
  return window.result();
}

void HeadlessHost::RunDialogAction(HeadlessWindow& window, const Action& action,
                                   const std::string& waiting) {
  std::string error;
  switch (action.kind) {
    case ActionKind::kClick:
      error = window.UserClick(action.number);
      break;
    case ActionKind::kType:
      error = window.UserType(action.number, action.text);
      break;
    case ActionKind::kSelect:
      error = window.UserSelect(action.number, action.values);
      break;
    case ActionKind::kSysMenu:
      error = window.UserSysCommand(static_cast<uint32_t>(action.number));
      break;
    case ActionKind::kClose:
      error = window.UserClose();
      break;
    case ActionKind::kExpectDialog:
      if (action.number != window.TemplateId()) error = "saw " + waiting + " waiting";
      break;
    case ActionKind::kWait:
      break;  // nothing is on a screen to look at
    case ActionKind::kExpectText:
    case ActionKind::kExpectShown:
    case ActionKind::kExpectHidden:
    case ActionKind::kExpectEnabled:
    case ActionKind::kExpectDisabled:
    case ActionKind::kExpectChecked:
    case ActionKind::kExpectUnchecked:
    case ActionKind::kExpectRows:
    case ActionKind::kExpectCell:
      CheckDialogExpectation(window, action);
      break;
    default:
      error = "no message box, folder browser or file dialog is open; " + waiting + " waits";
  }
  if (!error.empty()) player_.FailAction(action, error);
}

void HeadlessHost::CheckDialogExpectation(HeadlessWindow& window, const Action& action) {
  const int id = action.number;
  const HeadlessControl* control = window.Find(id);
  if (control == nullptr) {
    player_.FailAction(action, "dialog " + std::to_string(window.TemplateId()) +
                                   " has no control " + std::to_string(id));
  }
  ControlState state;
  state.text = control->text;
  state.shown = control->shown;
  state.enabled = control->enabled;
  state.checked = control->checked;
  state.row_count = control->rows.size();
  if (action.kind == ActionKind::kExpectCell) {
    state.cell = window.ListCell(id, action.values[0] - 1, action.values[1]);
  }
  player_.CheckControl(action, state);
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
