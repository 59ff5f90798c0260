#include "platform/scripted_dialog.h"

#include <algorithm>

#include "platform/dialog_control_kind.h"

namespace qdw::platform {

std::string ScriptedDialog::Reachable(int id, DrivenControl* control) const {
  const std::string name =
      "control " + std::to_string(id) + " of dialog " + std::to_string(TemplateId());
  if (id == -1) return name + " does not exist";
  const std::vector<DrivenControl> controls = Controls();
  const auto found = std::find_if(controls.begin(), controls.end(),
                                  [id](const DrivenControl& c) { return c.id == id; });
  if (found == controls.end()) return name + " does not exist";
  if (!found->shown) return name + " is hidden";
  if (!found->enabled) return name + " is disabled";
  *control = *found;
  return "";
}

std::string ScriptedDialog::UserClick(int id) {
  DrivenControl control;
  if (std::string why = Reachable(id, &control); !why.empty()) return why;
  const ControlKind kind = KindOf(control.class_name, control.style);
  if (!IsButtonKind(kind)) {
    return "control " + std::to_string(id) + " is a " + KindName(kind) + ", not a button";
  }
  PressButton(id);
  return "";
}

std::string ScriptedDialog::UserType(int id, const std::string& text) {
  DrivenControl control;
  if (std::string why = Reachable(id, &control); !why.empty()) return why;
  const ControlKind kind = KindOf(control.class_name, control.style);
  if (kind != ControlKind::kEdit) {
    return "control " + std::to_string(id) + " is a " + KindName(kind) + ", not an edit";
  }
  if (control.style & kEditStyleReadOnly) {
    return "edit control " + std::to_string(id) + " is read-only";
  }
  FocusControl(id);
  SetControlText(id, text);
  return "";
}

std::string ScriptedDialog::UserSelect(int id, const std::vector<int>& rows) {
  DrivenControl control;
  if (std::string why = Reachable(id, &control); !why.empty()) return why;
  if (KindOf(control.class_name, control.style) != ControlKind::kListView) {
    return "control " + std::to_string(id) + " is not a list view";
  }
  const int count = static_cast<int>(control.rows.size());
  for (int row : rows) {
    if (row < 1 || row > count) {
      return "list " + std::to_string(id) + " has no row " + std::to_string(row) + " (it has " +
             std::to_string(count) + ")";
    }
  }
  FocusControl(id);
  const uint32_t both = kListStateSelected | kListStateFocused;
  for (size_t i = 0; i < rows.size(); ++i) {
    const int index = rows[i] - 1;
    // A plain click on the first row clears every other row; further rows are added.
    for (int other = 0; other < count; ++other) {
      if (other == index) continue;
      uint32_t mask = kListStateFocused;
      if (i == 0) mask |= kListStateSelected;
      if (ListRowState(id, other) & mask) ListSetRowState(id, other, 0, mask);
    }
    ListSetRowState(id, index, both, both);
  }
  return "";
}

std::string ScriptedDialog::UserClose() {
  if (!HasSystemMenu()) return "dialog " + std::to_string(TemplateId()) + " has no close button";
  SendSystemCommand(kSysCommandClose);
  return "";
}

std::string ScriptedDialog::UserSysCommand(uint32_t command) {
  const bool listed =
      std::find(menu_commands_.begin(), menu_commands_.end(), command) != menu_commands_.end();
  if (!HasSystemMenu() || (!listed && command != kSysCommandClose)) {
    return "the system menu of dialog " + std::to_string(TemplateId()) + " has no command " +
           std::to_string(command);
  }
  SendSystemCommand(command);
  return "";
}

}  // namespace qdw::platform
