// One control of a headless dialog, made from its entry in the dialog template.
#ifndef QDW_APP_HEADLESS_HEADLESS_CONTROL_H_
#define QDW_APP_HEADLESS_HEADLESS_CONTROL_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dialog_control_kind.h"
#include "platform/dialog_host.h"

namespace qdw::headless {

using platform::ControlKind;
using platform::KindName;
using platform::KindOf;

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

  // Progress bar, 0 to 100.
  int position = 0;
};

}  // namespace qdw::headless

#endif  // QDW_APP_HEADLESS_HEADLESS_CONTROL_H_
