#include "app/headless/script_player.h"

#include <sstream>
#include <utility>

#include "app/headless/headless_control.h"
#include "platform/file_checks.h"

namespace qdw::headless {

std::string DialogName(const platform::DrivenDialog& dialog) {
  return "dialog " + std::to_string(dialog.TemplateId()) + " " + Quote(dialog.Caption());
}

std::string DescribeControls(const std::vector<platform::DrivenControl>& controls,
                             const std::string& indent) {
  std::ostringstream out;
  for (const platform::DrivenControl& control : controls) {
    if (control.id == -1) continue;
    const ControlKind kind = KindOf(control.class_name, control.style);
    out << indent << control.id << ' ' << KindName(kind) << ' '
        << (control.shown ? "shown" : "hidden") << ' '
        << (control.enabled ? "enabled" : "disabled");
    if (kind == ControlKind::kRadioButton || kind == ControlKind::kCheckBox ||
        kind == ControlKind::kManualButton) {
      out << (control.checked ? " checked" : " unchecked");
    }
    if (control.playing) out << " playing";
    if (kind == ControlKind::kProgressBar) out << " at " << control.position;
    out << ' ' << Quote(control.text) << '\n';
    for (size_t row = 0; row < control.rows.size(); ++row) {
      out << indent << "  row " << row + 1;
      if (row < control.selected.size() && control.selected[row]) out << " (selected)";
      out << ':';
      for (const std::string& cell : control.rows[row]) out << ' ' << Quote(cell);
      out << '\n';
    }
  }
  return out.str();
}

ScriptPlayer::ScriptPlayer(HeadlessOptions options)
    : options_(std::move(options)), transcript_(options_.transcript) {
  script_ = Script::Parse(options_.script, &parse_error_);
}

void ScriptPlayer::Finish() {
  if (failed_) return;
  if (!parse_error_.empty()) Fail(options_.script_name + " " + parse_error_);
  if (script_.AtEnd()) return;
  const Action& left = script_.Peek();
  Fail(options_.script_name + " line " + std::to_string(left.line) + " (" + left.source +
       "): the program ended before this action; " + std::to_string(script_.Remaining()) +
       " action(s) left");
}

void ScriptPlayer::Fail(const std::string& what) {
  failed_ = true;
  failure_ = what;
  transcript_.Line("FAILED: " + what);
  if (options_.on_failure) options_.on_failure(what);
  throw ScriptFailure(what);
}

void ScriptPlayer::FailAction(const Action& action, const std::string& what) {
  Fail(options_.script_name + " line " + std::to_string(action.line) + " (" + action.source +
       "): " + what);
}

void ScriptPlayer::ThrowIfFailed() const {
  if (failed_) throw ScriptFailure(failure_);
}

Action ScriptPlayer::NextAction(const std::string& waiting) {
  ThrowIfFailed();
  if (!parse_error_.empty()) Fail(options_.script_name + " " + parse_error_);
  if (script_.AtEnd()) {
    Fail(options_.script_name + ": the script ended while " + waiting + " waits");
  }
  Action action = script_.Take();
  transcript_.Line("> " + action.source + "    (line " + std::to_string(action.line) + ")");
  return action;
}

void ScriptPlayer::DialogOpened(const platform::DrivenDialog& dialog) {
  transcript_.Line(DialogName(dialog) + " opened");
  seen_.erase(dialog.TemplateId());
}

void ScriptPlayer::DialogFailed(uint16_t template_id, platform::WinError error,
                                const std::string& reason) {
  transcript_.Line("dialog " + std::to_string(template_id) + " could not be created: error " +
                   std::to_string(error) + " (" + reason + ")");
}

void ScriptPlayer::DialogEnded(uint16_t template_id, int result,
                               const std::vector<platform::DrivenControl>& final_state) {
  transcript_.Line("dialog " + std::to_string(template_id) + " ended with " +
                   std::to_string(result));
  seen_.erase(template_id);
  transcript_.Block(DescribeControls(final_state, "  "));
}

int ScriptPlayer::PlayDialogAction(platform::DrivenDialog& dialog) {
  const std::string waiting = DialogName(dialog);
  const Action action = NextAction(waiting);
  std::string error;
  switch (action.kind) {
    case ActionKind::kClick:
      error = dialog.UserClick(action.number);
      break;
    case ActionKind::kType:
      error = dialog.UserType(action.number, action.text);
      break;
    case ActionKind::kSelect:
      error = dialog.UserSelect(action.number, action.values);
      break;
    case ActionKind::kSysMenu:
      error = dialog.UserSysCommand(static_cast<uint32_t>(action.number));
      break;
    case ActionKind::kClose:
      error = dialog.UserClose();
      break;
    case ActionKind::kExpectDialog:
      if (action.number != dialog.TemplateId()) error = "saw " + waiting + " waiting";
      break;
    case ActionKind::kWait:
      return action.number;
    case ActionKind::kHold:
      error = "progress bar " + std::to_string(action.number) + " never reached " +
              std::to_string(action.values[0]) + " while the program worked";
      break;
    case ActionKind::kExpectText:
    case ActionKind::kExpectShown:
    case ActionKind::kExpectHidden:
    case ActionKind::kExpectEnabled:
    case ActionKind::kExpectDisabled:
    case ActionKind::kExpectChecked:
    case ActionKind::kExpectUnchecked:
    case ActionKind::kExpectRows:
    case ActionKind::kExpectCell:
      CheckControl(dialog, action);
      break;
    default:
      error = "no message box, folder browser or file dialog is open; " + waiting + " waits";
  }
  if (!error.empty()) FailAction(action, error);
  return 0;
}

void ScriptPlayer::CheckControl(const platform::DrivenDialog& dialog, const Action& action) {
  const std::vector<platform::DrivenControl> controls = dialog.Controls();
  const platform::DrivenControl* control = nullptr;
  for (const platform::DrivenControl& candidate : controls) {
    if (candidate.id != -1 && candidate.id == action.number) {
      control = &candidate;
      break;
    }
  }
  if (control == nullptr) {
    FailAction(action, "dialog " + std::to_string(dialog.TemplateId()) + " has no control " +
                           std::to_string(action.number));
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
      // A cell outside the list reads as empty, as the list control answers.
      const int row = action.values[0] - 1;
      const int column = action.values[1];
      std::string cell;
      if (row >= 0 && row < static_cast<int>(control->rows.size()) && column >= 0 &&
          column < static_cast<int>(control->rows[row].size())) {
        cell = control->rows[row][column];
      }
      seen = Quote(cell);
      met = OneLine(cell) == action.text;
    }
  }
  if (!met) FailAction(action, "control " + std::to_string(action.number) + " is " + seen);
}

int ScriptPlayer::AnswerMessageBox(const platform::MessageBoxRequest& request) {
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

bool ScriptPlayer::FolderExists(const std::string& path) const {
  return platform::FolderExists(*options_.files, path);
}

platform::BrowseResult ScriptPlayer::AnswerFolderBrowser(const std::string& title,
                                                         std::string* path) {
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

bool ScriptPlayer::AnswerFileOpen(const platform::FileOpenRequest& request, std::string* path) {
  ThrowIfFailed();
  transcript_.Line("file-open dialog " + Quote(request.filter) + " in " +
                   Quote(request.initial_folder) + " name " + Quote(request.initial_name));
  const Action action = NextAction("the file-open dialog");
  if (action.kind == ActionKind::kBrowseCancel) return false;
  if (action.kind != ActionKind::kBrowse) FailAction(action, "the file-open dialog waits");
  *path = action.text;
  return true;
}

}  // namespace qdw::headless
