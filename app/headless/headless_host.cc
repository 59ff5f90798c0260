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

HeadlessHost::HeadlessHost(HeadlessOptions options)
    : options_(std::move(options)), transcript_(options_.transcript) {
  script_ = Script::Parse(options_.script, &parse_error_);
}

HeadlessHost::~HeadlessHost() = default;

void HeadlessHost::Finish() {
  if (failed_) return;
  if (!parse_error_.empty()) Fail(options_.script_name + " " + parse_error_);
  if (script_.AtEnd()) return;
  const Action& left = script_.Peek();
  Fail(options_.script_name + " line " + std::to_string(left.line) + " (" + left.source +
       "): the program ended before this action; " + std::to_string(script_.Remaining()) +
       " action(s) left");
}

void HeadlessHost::Fail(const std::string& what) {
  failed_ = true;
  failure_ = what;
  transcript_.Line("FAILED: " + what);
  if (options_.on_failure) options_.on_failure(what);
  throw ScriptFailure(what);
}

void HeadlessHost::FailAction(const Action& action, const std::string& what) {
  Fail(options_.script_name + " line " + std::to_string(action.line) + " (" + action.source +
       "): " + what);
}

void HeadlessHost::ThrowIfFailed() const {
  if (failed_) throw ScriptFailure(failure_);
}

Action HeadlessHost::NextAction(const std::string& waiting) {
  ThrowIfFailed();
  if (!parse_error_.empty()) Fail(options_.script_name + " " + parse_error_);
  if (script_.AtEnd()) {
    Fail(options_.script_name + ": the script ended while " + waiting + " waits");
  }
  Action action = script_.Take();
  transcript_.Line("> " + action.source + "    (line " + std::to_string(action.line) + ")");
  return action;
}

int HeadlessHost::RunModal(uint16_t template_id, platform::DialogHandler& handler,
                           platform::DialogWindow* /*owner*/) {
  ThrowIfFailed();
  std::vector<uint8_t> bytes;
  resources::DialogTemplate dialog_template;
  if (module_ == nullptr || !module_->Resource(platform::kResourceDialog, template_id, &bytes) ||
      !resources::ParseDialogTemplate(bytes, language::kCodePage, &dialog_template)) {
    transcript_.Line("dialog " + std::to_string(template_id) +
                     " could not be created: the resource module has no such template");
    return platform::kModalFailed;
  }
  HeadlessWindow window(template_id, dialog_template, handler, module_);
  transcript_.Line(DialogName(window) + " opened");
  window.Create();
  while (!window.ended()) {
    const std::string waiting = DialogName(window);
    RunDialogAction(window, NextAction(waiting), waiting);
  }
  transcript_.Line("dialog " + std::to_string(template_id) + " ended with " +
                   std::to_string(window.result()));
  transcript_.Block(window.DescribeState("  "));
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
  if (!error.empty()) FailAction(action, error);
}

void HeadlessHost::CheckDialogExpectation(HeadlessWindow& window, const Action& action) {
  const int id = action.number;
  const HeadlessControl* control = window.Find(id);
  if (control == nullptr) {
    FailAction(action, "dialog " + std::to_string(window.TemplateId()) + " has no control " +
                           std::to_string(id));
  }
  std::string seen;
  bool met = true;
  switch (action.kind) {
    case ActionKind::kExpectText:
      seen = Quote(control->text);
      met = OneLine(control->text) == action.text;
      break;
    case ActionKind::kExpectShown:
    case ActionKind::kExpectHidden:
      seen = control->shown ? "shown" : "hidden";
      met = control->shown == (action.kind == ActionKind::kExpectShown);
      break;
    case ActionKind::kExpectEnabled:
    case ActionKind::kExpectDisabled:
      seen = control->enabled ? "enabled" : "disabled";
      met = control->enabled == (action.kind == ActionKind::kExpectEnabled);
      break;
    case ActionKind::kExpectChecked:
    case ActionKind::kExpectUnchecked:
      seen = control->checked ? "checked" : "unchecked";
      met = control->checked == (action.kind == ActionKind::kExpectChecked);
      break;
    case ActionKind::kExpectRows:
      seen = std::to_string(control->rows.size()) + " rows";
      met = static_cast<int>(control->rows.size()) == action.values[0];
      break;
    default: {
      const std::string cell = window.ListCell(id, action.values[0] - 1, action.values[1]);
      seen = Quote(cell);
      met = OneLine(cell) == action.text;
    }
  }
  if (!met) FailAction(action, "control " + std::to_string(id) + " is " + seen);
}

int HeadlessHost::ShowMessageBox(platform::DialogWindow* /*owner*/,
                                 const platform::MessageBoxRequest& request) {
  ThrowIfFailed();
  const bool yes_no = request.buttons == platform::MessageBoxButtons::kYesNo;
  const std::string shown =
      "message " + std::to_string(request.string_id) + " " + Quote(request.text);
  transcript_.Line(shown + (yes_no ? " [Yes] [No]" : " [OK]"));
  for (;;) {
    const Action action = NextAction(shown);
    switch (action.kind) {
      case ActionKind::kExpectMessage:
        if (action.number != request.string_id) FailAction(action, "saw " + shown);
        break;
      case ActionKind::kAnswer:
        if (yes_no && action.text == "yes") return platform::kIdYes;
        if (yes_no && action.text == "no") return platform::kIdNo;
        if (!yes_no && action.text == "ok") return platform::kIdOk;
        FailAction(action, shown + (yes_no ? " has Yes and No buttons" : " has an OK button"));
      case ActionKind::kClose:
        if (!yes_no) return platform::kIdOk;
        FailAction(action, shown + " asks Yes or No and cannot be closed");
      default:
        FailAction(action, "saw " + shown + " waiting");
    }
  }
}

bool HeadlessHost::FolderExists(const std::string& path) const {
  uint32_t attributes = 0;
  return options_.files->ReadAttributes(path, &attributes) == platform::kSuccess &&
         attributes != platform::kInvalidAttributes && (attributes & platform::kAttrDirectory);
}

platform::BrowseResult HeadlessHost::BrowseForFolder(platform::DialogWindow* /*owner*/,
                                                     const std::string& title, std::string* path) {
  ThrowIfFailed();
  transcript_.Line("folder browser " + Quote(title) + " at " + Quote(*path));
  for (;;) {
    const Action action = NextAction("the folder browser");
    if (action.kind == ActionKind::kBrowseCancel) return platform::BrowseResult::kCancelled;
    if (action.kind != ActionKind::kBrowse) FailAction(action, "the folder browser waits");
    if (options_.files != nullptr && !FolderExists(action.text)) {
      FailAction(action, "the folder browser shows no folder " + Quote(action.text));
    }
    *path = action.text;
    return platform::BrowseResult::kChosen;
  }
}

bool HeadlessHost::OpenFileDialog(platform::DialogWindow* /*owner*/,
                                  const platform::FileOpenRequest& request, std::string* path) {
  ThrowIfFailed();
  transcript_.Line("file-open dialog " + Quote(request.filter) + " in " +
                   Quote(request.initial_folder) + " name " + Quote(request.initial_name));
  const Action action = NextAction("the file-open dialog");
  if (action.kind == ActionKind::kBrowseCancel) return false;
  if (action.kind != ActionKind::kBrowse) FailAction(action, "the file-open dialog waits");
  *path = action.text;
  return true;
}

void HeadlessHost::EndWaitCursor() {
  if (wait_cursor_depth_ > 0) --wait_cursor_depth_;
}

}  // namespace qdw::headless
