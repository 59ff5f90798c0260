#include "platform/dialog_control_kind.h"

#include <algorithm>
#include <cctype>

namespace qdw::platform {

std::string KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::kPushButton:
      return "button";
    case ControlKind::kRadioButton:
      return "radio";
    case ControlKind::kCheckBox:
    case ControlKind::kManualButton:
      return "check";
    case ControlKind::kGroupBox:
      return "group";
    case ControlKind::kEdit:
      return "edit";
    case ControlKind::kStatic:
      return "static";
    case ControlKind::kListView:
      return "list";
    case ControlKind::kAnimation:
      return "animation";
    case ControlKind::kProgressBar:
      return "progress";
    case ControlKind::kOther:
      break;
  }
  return "control";
}

ControlKind KindOf(const std::string& class_name, uint32_t style) {
  auto is = [&class_name](const char* name) {
    return std::equal(class_name.begin(), class_name.end(), name,
                      name + std::char_traits<char>::length(name),
                      [](char a, char b) { return std::tolower(a) == std::tolower(b); });
  };
  if (is("Button")) {
    switch (style & 0x0F) {
      case 0x00:  // BS_PUSHBUTTON
      case 0x01:  // BS_DEFPUSHBUTTON
        return ControlKind::kPushButton;
      case 0x03:  // BS_AUTOCHECKBOX
      case 0x06:  // BS_AUTO3STATE
        return ControlKind::kCheckBox;
      case 0x09:  // BS_AUTORADIOBUTTON
        return ControlKind::kRadioButton;
      case 0x07:  // BS_GROUPBOX
        return ControlKind::kGroupBox;
      default:
        return ControlKind::kManualButton;
    }
  }
  if (is("Edit")) return ControlKind::kEdit;
  if (is("Static")) return ControlKind::kStatic;
  if (is("SysListView32")) return ControlKind::kListView;
  if (is("SysAnimate32")) return ControlKind::kAnimation;
  if (is("msctls_progress32")) return ControlKind::kProgressBar;
  return ControlKind::kOther;
}

}  // namespace qdw::platform
