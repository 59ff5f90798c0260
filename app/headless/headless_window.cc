#include "app/headless/headless_window.h"

#include <algorithm>
#include <utility>

#include "app/headless/transcript.h"

namespace qdw::headless {

namespace {

constexpr uint32_t kStyleThickFrame = 0x00040000;
constexpr uint32_t kStyleSystemMenu = 0x00080000;
constexpr uint32_t kStyleGroup = 0x00020000;

// Dialog units to pixels for the dialogs' 8-point shell font at 96 dots per inch.
int UnitsToPixelsX(int units) { return units * 3 / 2; }
int UnitsToPixelsY(int units) { return units * 13 / 8; }

}  // namespace

HeadlessWindow::HeadlessWindow(uint16_t template_id,
                               const resources::DialogTemplate& dialog_template,
                               platform::DialogHandler& handler, const platform::Library* module)
    : template_id_(template_id),
      caption_(dialog_template.caption),
      resizable_((dialog_template.style & kStyleThickFrame) != 0),
      has_system_menu_((dialog_template.style & kStyleSystemMenu) != 0),
      client_width_(UnitsToPixelsX(dialog_template.cx)),
      client_height_(UnitsToPixelsY(dialog_template.cy)),
      handler_(handler),
      module_(module) {
  for (const resources::DialogControl& entry : dialog_template.controls) {
    HeadlessControl control;
    control.id = entry.id;
    control.class_name = entry.class_name;
    control.kind = KindOf(entry.class_name, entry.style);
    control.style = entry.style;
    control.starts_group = (entry.style & kStyleGroup) != 0;
    if (!entry.text.is_ordinal) control.text = entry.text.name;
    control.shown = (entry.style & resources::kWindowStyleVisible) != 0;
    control.enabled = (entry.style & resources::kWindowStyleDisabled) == 0;
    control.rect = {UnitsToPixelsX(entry.x), UnitsToPixelsY(entry.y), UnitsToPixelsX(entry.cx),
                    UnitsToPixelsY(entry.cy)};
    controls_.push_back(control);
  }
}

void HeadlessWindow::Deliver(platform::UiEvent& event) {
  if (handler_.HandleMessage(*this, event)) return;
  if (event.message == platform::UiMessage::kSysCommand &&
      (event.command & 0xFFF0) == platform::kSysCommandClose) {
    platform::UiEvent close;
    close.message = platform::UiMessage::kClose;
    Deliver(close);
  } else if (event.message == platform::UiMessage::kClose) {
    // As the system's dialog procedure: Cancel, unless a Cancel button is there but disabled.
    const HeadlessControl* cancel = Find(platform::kIdCancel);
    if (cancel == nullptr || cancel->enabled)
      Command(platform::kIdCancel, platform::kButtonClicked);
  }
}

void HeadlessWindow::Create() {
  if (resizable_) {
    platform::UiEvent limits;
    limits.message = platform::UiMessage::kGetMinMaxInfo;
    Deliver(limits);
    client_width_ = std::max(client_width_, limits.min_width);
    client_height_ = std::max(client_height_, limits.min_height);
  }
  platform::UiEvent init;
  init.message = platform::UiMessage::kInitDialog;
  Deliver(init);
  if (ended_) return;
  platform::UiEvent paint;
  paint.message = platform::UiMessage::kPaint;
  Deliver(paint);
}

const HeadlessControl* HeadlessWindow::Find(int id) const {
  if (id == -1) return nullptr;
  for (const HeadlessControl& control : controls_) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

HeadlessControl* HeadlessWindow::FindMutable(int id) {
  return const_cast<HeadlessControl*>(Find(id));
}

HeadlessControl* HeadlessWindow::FindList(int id) {
  HeadlessControl* control = FindMutable(id);
  return control != nullptr && control->kind == ControlKind::kListView ? control : nullptr;
}

std::vector<platform::DrivenControl> HeadlessWindow::Controls() const {
  std::vector<platform::DrivenControl> controls;
  for (const HeadlessControl& control : controls_) {
    platform::DrivenControl out;
    out.id = control.id;
    out.class_name = control.class_name;
    out.style = control.style;
    out.text = control.text;
    out.shown = control.shown;
    out.enabled = control.enabled;
    out.checked = control.checked;
    out.playing = control.animation_playing;
    out.position = control.position;
    for (const ListRow& row : control.rows) {
      out.rows.push_back(row.cells);
      out.selected.push_back((row.state & platform::kListStateSelected) != 0);
    }
    controls.push_back(std::move(out));
  }
  return controls;
}

void HeadlessWindow::Command(int id, int code) {
  platform::UiEvent event;
  event.message = platform::UiMessage::kCommand;
  event.control_id = id;
  event.code = code;
  Deliver(event);
}

void HeadlessWindow::ClickRadio(HeadlessControl* clicked) {
  // The group runs from the control that starts it to the next one that starts another.
  auto self = controls_.begin() + (clicked - controls_.data());
  auto first = self;
  while (first != controls_.begin() && !first->starts_group) --first;
  auto last = self + 1;
  while (last != controls_.end() && !last->starts_group) ++last;
  for (auto it = first; it != last; ++it) {
    if (it->kind == ControlKind::kRadioButton) it->checked = false;
  }
  clicked->checked = true;
}

void HeadlessWindow::PressButton(int id) {
  HeadlessControl* control = FindMutable(id);
  if (control->kind == ControlKind::kRadioButton) ClickRadio(control);
  if (control->kind == ControlKind::kCheckBox) control->checked = !control->checked;
  focus_ = id;
  Command(id, platform::kButtonClicked);
}

void HeadlessWindow::SendSystemCommand(uint32_t command) {
  platform::UiEvent event;
  event.message = platform::UiMessage::kSysCommand;
  event.command = command;
  Deliver(event);
}

void HeadlessWindow::SetControlText(int id, const std::string& text) {
  HeadlessControl* control = FindMutable(id);
  if (control == nullptr) return;
  control->text = text;
  // Edit controls report every change of their text, also one made by the program.
  if (control->kind == ControlKind::kEdit) Command(id, platform::kEditChange);
}

std::string HeadlessWindow::ControlText(int id) const {
  const HeadlessControl* control = Find(id);
  return control == nullptr ? "" : control->text;
}

void HeadlessWindow::ShowControl(int id, bool shown) {
  if (HeadlessControl* control = FindMutable(id)) control->shown = shown;
}

bool HeadlessWindow::IsControlShown(int id) const {
  const HeadlessControl* control = Find(id);
  return control != nullptr && control->shown;
}

void HeadlessWindow::EnableControl(int id, bool enabled) {
  if (HeadlessControl* control = FindMutable(id)) control->enabled = enabled;
}

bool HeadlessWindow::IsControlEnabled(int id) const {
  const HeadlessControl* control = Find(id);
  return control != nullptr && control->enabled;
}

void HeadlessWindow::SetCheck(int id, bool checked) {
  if (HeadlessControl* control = FindMutable(id)) control->checked = checked;
}

bool HeadlessWindow::IsChecked(int id) const {
  const HeadlessControl* control = Find(id);
  return control != nullptr && control->checked;
}

void HeadlessWindow::ClientSize(int* width, int* height) const {
  *width = client_width_;
  *height = client_height_;
}

bool HeadlessWindow::ControlClientSize(int id, int* width, int* height) const {
  const HeadlessControl* control = Find(id);
  if (control == nullptr) return false;
  *width = control->rect.width;
  *height = control->rect.height;
  return true;
}

void HeadlessWindow::MoveControl(int id, const platform::ControlRect& rect) {
  if (HeadlessControl* control = FindMutable(id)) control->rect = rect;
}

void HeadlessWindow::SystemIconSize(int* width, int* height) const {
  *width = 32;
  *height = 32;
}

void HeadlessWindow::SetIcon(uint16_t icon_group_id, bool large) {
  std::vector<uint8_t> bytes;
  const bool found =
      module_ != nullptr && module_->Resource(platform::kResourceGroupIcon, icon_group_id, &bytes);
  if (large) large_icon_ = found ? icon_group_id : 0;
}

void HeadlessWindow::AppendSystemMenuCommand(uint32_t command, const std::string& /*text*/) {
  if (has_system_menu_) NoteSystemMenuCommand(command);
}

void HeadlessWindow::EndDialog(int result) {
  if (ended_) return;
  ended_ = true;
  result_ = result;
}

}  // namespace qdw::headless
