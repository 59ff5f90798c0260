// Dialog templates (resource type 5) in both layouts the system accepts: the extended one
// (DLGTEMPLATEEX, what DIALOGEX compiles to) and the plain one (DLGTEMPLATE, from DIALOG).
#ifndef QDW_PLATFORM_RESOURCES_DIALOG_TEMPLATE_H_
#define QDW_PLATFORM_RESOURCES_DIALOG_TEMPLATE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/resources/code_page.h"

namespace qdw::resources {

// Style bits the readers of templates look at.
inline constexpr uint32_t kDialogStyleSetFont = 0x40;  // DS_SETFONT: the template names a font
inline constexpr uint32_t kWindowStyleVisible = 0x10000000;
inline constexpr uint32_t kWindowStyleDisabled = 0x08000000;

// A field that is either a number (a resource id or a class atom) or a text.
struct NameOrOrdinal {
  bool is_ordinal = false;
  uint16_t ordinal = 0;
  std::string name;  // ANSI; empty for an ordinal or when the field is absent
};

struct DialogControl {
  int32_t id = 0;  // -1 for the usual "no id" of static decoration
  // "Button", "Edit", "Static", "ListBox", "ScrollBar" or "ComboBox" for the predefined class
  // atoms; otherwise the class name, in its usual spelling when it is one of the system's
  // (for example "SysListView32", however the template stored its case).
  std::string class_name;
  uint16_t class_atom = 0;  // 0x80 to 0x85 when the class was given as an atom, else 0
  NameOrOrdinal text;       // the text, or a resource id (the icon of an icon control)
  uint32_t style = 0;
  uint32_t ex_style = 0;
  uint32_t help_id = 0;
  // Position and size in dialog units.
  int16_t x = 0;
  int16_t y = 0;
  int16_t cx = 0;
  int16_t cy = 0;
  std::vector<uint8_t> creation_data;
};

struct DialogTemplate {
  bool extended = false;
  uint32_t style = 0;
  uint32_t ex_style = 0;
  uint32_t help_id = 0;
  int16_t x = 0;
  int16_t y = 0;
  int16_t cx = 0;
  int16_t cy = 0;
  NameOrOrdinal menu;
  NameOrOrdinal window_class;
  std::string caption;
  // Font, present when the style has DS_SETFONT.
  bool has_font = false;
  uint16_t font_points = 0;
  uint16_t font_weight = 0;
  bool font_italic = false;
  uint8_t font_charset = 0;
  std::string font_name;
  std::vector<DialogControl> controls;

  // The first control with this id, or null.
  const DialogControl* Control(int32_t id) const;
};

// Parses a template; texts are converted to the ANSI code page given. False when the bytes are
// not a complete template (truncated, unterminated texts, counts that overrun).
bool ParseDialogTemplate(const std::vector<uint8_t>& bytes, int code_page, DialogTemplate* out);

}  // namespace qdw::resources

#endif  // QDW_PLATFORM_RESOURCES_DIALOG_TEMPLATE_H_
