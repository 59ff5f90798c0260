#include "app/headless/script_driver.h"

#include <sstream>
#include <utility>

#include "app/headless/headless_control.h"
#include "app/headless/headless_host.h"

namespace qdw::headless {

namespace {

std::string DialogName(const platform::DrivenDialog& dialog) {
  return "dialog " + std::to_string(dialog.TemplateId()) + " " + Quote(dialog.Caption());
}

const platform::DrivenControl* FindControl(const std::vector<platform::DrivenControl>& controls,
                                           int id) {
  if (id == -1) return nullptr;
  for (const platform::DrivenControl& control : controls) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

}  // namespace

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

ScriptDriver::ScriptDriver(ScriptDriverOptions options) : player_(std::move(options)) {}

void ScriptDriver::Finish() { player_.Finish(); }

void ScriptDriver::DialogOpened(const platform::DrivenDialog& dialog) {
  player_.transcript().Line(DialogName(dialog) + " opened");
}

void ScriptDriver::DialogFailed(uint16_t template_id) {
  player_.transcript().Line("dialog " + std::to_string(template_id) +
                            " could not be created: the resource module has no such template");
}

void ScriptDriver::DialogEnded(uint16_t template_id, int result,
                               const std::vector<platform::DrivenControl>& final_state) {
  player_.transcript().Line("dialog " + std::to_string(template_id) + " ended with " +
                            std::to_string(result));
  player_.transcript().Block(DescribeControls(final_state, "  "));
}

int ScriptDriver::DialogWaits(platform::DrivenDialog& dialog) {
  const std::string waiting = DialogName(dialog);
  const Action action = player_.NextAction(waiting);
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
    case ActionKind::kExpectText:
    case ActionKind::kExpectShown:
    case ActionKind::kExpectHidden:
    case ActionKind::kExpectEnabled:
    case ActionKind::kExpectDisabled:
    case ActionKind::kExpectChecked:
    case ActionKind::kExpectUnchecked:
    case ActionKind::kExpectRows:
    case ActionKind::kExpectCell:
      CheckExpectation(dialog, action);
      break;
    default:
      error = "no message box, folder browser or file dialog is open; " + waiting + " waits";
  }
  if (!error.empty()) player_.FailAction(action, error);
  return 0;
}

void ScriptDriver::CheckExpectation(const platform::DrivenDialog& dialog, const Action& action) {
  const std::vector<platform::DrivenControl> controls = dialog.Controls();
  const platform::DrivenControl* control = FindControl(controls, action.number);
  if (control == nullptr) {
    player_.FailAction(action, "dialog " + std::to_string(dialog.TemplateId()) +
                                   " has no control " + std::to_string(action.number));
  }
  ControlState state;
  state.text = control->text;
  state.shown = control->shown;
  state.enabled = control->enabled;
  state.checked = control->checked;
  state.row_count = control->rows.size();
  const int row = action.kind == ActionKind::kExpectCell ? action.values[0] - 1 : -1;
  const int column = row >= 0 ? action.values[1] : -1;
  if (row >= 0 && row < static_cast<int>(control->rows.size()) && column >= 0 &&
      column < static_cast<int>(control->rows[row].size())) {
    state.cell = control->rows[row][column];
  }
  player_.CheckControl(action, state);
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
