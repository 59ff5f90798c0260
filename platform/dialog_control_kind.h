// What kind of control a dialog template entry makes, from its window class and style, and how
// scripts and transcripts name each kind.
#ifndef QDW_PLATFORM_DIALOG_CONTROL_KIND_H_
#define QDW_PLATFORM_DIALOG_CONTROL_KIND_H_

#include <cstdint>
#include <string>

namespace qdw::platform {

enum class ControlKind {
  kPushButton,
  kRadioButton,   // auto radio button: a click checks it and clears the rest of its group
  kCheckBox,      // auto check box: a click toggles it
  kManualButton,  // radio button or check box the program checks itself
  kGroupBox,
  kEdit,
  kStatic,
  kListView,
  kAnimation,
  kProgressBar,
  kOther,
};

ControlKind KindOf(const std::string& class_name, uint32_t style);
// "button", "radio", "check", "group", "edit", "static", "list", "animation", "progress" or
// "control".
std::string KindName(ControlKind kind);

inline bool IsButtonKind(ControlKind kind) {
  return kind == ControlKind::kPushButton || kind == ControlKind::kRadioButton ||
         kind == ControlKind::kCheckBox || kind == ControlKind::kManualButton;
}

// ES_READONLY of an edit control's style.
inline constexpr uint32_t kEditStyleReadOnly = 0x0800;

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_DIALOG_CONTROL_KIND_H_
