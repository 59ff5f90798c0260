// One control of a headless dialog, made from its entry in the dialog template.
#ifndef QDW_APP_HEADLESS_HEADLESS_CONTROL_H_
#define QDW_APP_HEADLESS_HEADLESS_CONTROL_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dialog_host.h"

namespace qdw::headless {

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
  kOther,
};

struct ListRow {
  std::vector<std::string> cells;
  uint32_t state = 0;
};

struct HeadlessControl {
  int id = -1;
  std::string class_name;
  ControlKind kind = ControlKind::kOther;
  uint32_t style = 0;
  bool starts_group = false;  // WS_GROUP
  bool read_only = false;     // ES_READONLY
  std::string text;
  bool shown = true;
  bool enabled = true;
  bool checked = false;
  platform::ControlRect rect;  // pixels

  // List view.
  uint32_t list_ex_style = 0;
  std::vector<std::string> columns;
  std::vector<ListRow> rows;

  // Animation.
  bool animation_open = false;
  bool animation_playing = false;
  int animation_id = 0;
};

// The kind of control a template entry makes, from its class and style.
ControlKind KindOf(const std::string& class_name, uint32_t style);
// How transcripts name a kind: "button", "radio", "check", "edit", "list" and so on.
std::string KindName(ControlKind kind);

}  // namespace qdw::headless

#endif  // QDW_APP_HEADLESS_HEADLESS_CONTROL_H_
