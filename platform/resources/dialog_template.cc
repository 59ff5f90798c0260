#include "platform/resources/dialog_template.h"

#include <cctype>
#include <cstring>
#include <utility>

#include "platform/resources/byte_view.h"

namespace qdw::resources {
namespace {

constexpr uint16_t kExtendedSignature = 0xFFFF;
constexpr uint16_t kOrdinalMarker = 0xFFFF;

const char* PredefinedClassName(uint16_t atom) {
  switch (atom) {
    case 0x80:
      return "Button";
    case 0x81:
      return "Edit";
    case 0x82:
      return "Static";
    case 0x83:
      return "ListBox";
    case 0x84:
      return "ScrollBar";
    case 0x85:
      return "ComboBox";
    default:
      return nullptr;
  }
}

// Window class names are compared without regard to case, and some resource compilers store
// them in upper case; known classes are given back in their usual spelling.
std::string CanonicalClassName(const std::string& name) {
  static const char* const kKnown[] = {"Button",
                                       "Edit",
                                       "Static",
                                       "ListBox",
                                       "ScrollBar",
                                       "ComboBox",
                                       "SysListView32",
                                       "SysAnimate32",
                                       "SysTreeView32",
                                       "SysTabControl32",
                                       "msctls_progress32",
                                       "msctls_updown32"};
  for (const char* known : kKnown) {
    if (name.size() != std::strlen(known)) continue;
    bool same = true;
    for (size_t i = 0; i < name.size() && same; ++i) {
      same = std::tolower(static_cast<unsigned char>(name[i])) ==
             std::tolower(static_cast<unsigned char>(known[i]));
    }
    if (same) return known;
  }
  return name;
}

// Walks a template from its start, keeping the position; every read fails cleanly at the end.
class TemplateReader {
 public:
  TemplateReader(const ByteView& view, int code_page) : view_(view), code_page_(code_page) {}

  size_t position() const { return position_; }

  bool U8(uint8_t* value) { return Advance(view_.U8(position_, value), 1); }
  bool U16(uint16_t* value) { return Advance(view_.U16(position_, value), 2); }
  bool U32(uint32_t* value) { return Advance(view_.U32(position_, value), 4); }
  bool I16(int16_t* value) { return Advance(view_.I16(position_, value), 2); }

  bool Rect(int16_t* x, int16_t* y, int16_t* cx, int16_t* cy) {
    return I16(x) && I16(y) && I16(cx) && I16(cy);
  }

  bool AlignTo4() {
    const size_t aligned = (position_ + 3) & ~static_cast<size_t>(3);
    if (aligned > view_.size()) return false;
    position_ = aligned;
    return true;
  }

  bool Skip(size_t bytes, std::vector<uint8_t>* copy) {
    if (!view_.Copy(position_, bytes, copy)) return false;
    position_ += bytes;
    return true;
  }

  // A zero-terminated UTF-16 text, converted to the code page.
  bool Text(std::string* text) {
    std::u16string wide;
    for (;;) {
      uint16_t unit = 0;
      if (!U16(&unit)) return false;
      if (unit == 0) break;
      wide.push_back(static_cast<char16_t>(unit));
    }
    return Utf16ToCodePage(wide, code_page_, text);
  }

  // 0x0000: absent; 0xFFFF and a number: an ordinal; anything else starts a text.
  bool Field(NameOrOrdinal* field) {
    uint16_t first = 0;
    if (!view_.U16(position_, &first)) return false;
    *field = NameOrOrdinal();
    if (first == kOrdinalMarker) {
      position_ += 2;
      field->is_ordinal = true;
      return U16(&field->ordinal);
    }
    return Text(&field->name);
  }

 private:
  bool Advance(bool ok, size_t bytes) {
    if (ok) position_ += bytes;
    return ok;
  }

  const ByteView& view_;
  int code_page_;
  size_t position_ = 0;
};

bool ParseControl(TemplateReader* reader, bool extended, DialogControl* control) {
  if (!reader->AlignTo4()) return false;
  if (extended) {
    uint32_t id = 0;
    if (!reader->U32(&control->help_id) || !reader->U32(&control->ex_style) ||
        !reader->U32(&control->style) ||
        !reader->Rect(&control->x, &control->y, &control->cx, &control->cy) || !reader->U32(&id)) {
      return false;
    }
    control->id = static_cast<int32_t>(id);
  } else {
    uint16_t id = 0;
    if (!reader->U32(&control->style) || !reader->U32(&control->ex_style) ||
        !reader->Rect(&control->x, &control->y, &control->cx, &control->cy) || !reader->U16(&id)) {
      return false;
    }
    control->id = static_cast<int16_t>(id);
  }
  NameOrOrdinal class_field;
  if (!reader->Field(&class_field)) return false;
  if (class_field.is_ordinal) {
    control->class_atom = class_field.ordinal;
    const char* name = PredefinedClassName(class_field.ordinal);
    control->class_name = name ? name : std::string();
  } else {
    control->class_name = CanonicalClassName(class_field.name);
  }
  if (!reader->Field(&control->text)) return false;
  // The size of the creation data comes first; the system steps over it and its count alike.
  uint16_t extra = 0;
  return reader->U16(&extra) && reader->Skip(extra, &control->creation_data);
}

}  // namespace

const DialogControl* DialogTemplate::Control(int32_t id) const {
  for (const DialogControl& control : controls) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

bool ParseDialogTemplate(const std::vector<uint8_t>& bytes, int code_page, DialogTemplate* out) {
  const ByteView view(bytes);
  TemplateReader reader(view, code_page);
  DialogTemplate dialog;
  uint16_t version = 0;
  uint16_t signature = 0;
  if (!view.U16(0, &version) || !view.U16(2, &signature)) return false;
  dialog.extended = version == 1 && signature == kExtendedSignature;
  uint16_t count = 0;
  if (dialog.extended) {
    uint32_t skipped = 0;
    if (!reader.U32(&skipped) || !reader.U32(&dialog.help_id) || !reader.U32(&dialog.ex_style) ||
        !reader.U32(&dialog.style)) {
      return false;
    }
  } else if (!reader.U32(&dialog.style) || !reader.U32(&dialog.ex_style)) {
    return false;
  }
  if (!reader.U16(&count) || !reader.Rect(&dialog.x, &dialog.y, &dialog.cx, &dialog.cy) ||
      !reader.Field(&dialog.menu) || !reader.Field(&dialog.window_class) ||
      !reader.Text(&dialog.caption)) {
    return false;
  }
  if (dialog.style & kDialogStyleSetFont) {
    dialog.has_font = true;
    if (!reader.U16(&dialog.font_points)) return false;
    if (dialog.extended) {
      uint8_t italic = 0;
      if (!reader.U16(&dialog.font_weight) || !reader.U8(&italic) ||
          !reader.U8(&dialog.font_charset)) {
        return false;
      }
      dialog.font_italic = italic != 0;
    }
    if (!reader.Text(&dialog.font_name)) return false;
  }
  for (uint16_t i = 0; i < count; ++i) {
    DialogControl control;
    if (!ParseControl(&reader, dialog.extended, &control)) return false;
    dialog.controls.push_back(std::move(control));
  }
  *out = std::move(dialog);
  return true;
}

}  // namespace qdw::resources
