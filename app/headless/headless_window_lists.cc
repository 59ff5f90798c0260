// The list view, animation and progress bar controls of a headless dialog.
#include <vector>

#include "app/headless/headless_window.h"

namespace qdw::headless {

void HeadlessWindow::ListAddExtendedStyle(int id, uint32_t style) {
  if (HeadlessControl* list = FindList(id)) list->list_ex_style |= style;
}

void HeadlessWindow::ListInsertColumn(int id, int column, const std::string& heading) {
  HeadlessControl* list = FindList(id);
  if (list == nullptr || column < 0) return;
  const size_t at = std::min(static_cast<size_t>(column), list->columns.size());
  list->columns.insert(list->columns.begin() + at, heading);
}

int HeadlessWindow::ListInsertRow(int id, int row, const std::string& text) {
  HeadlessControl* list = FindList(id);
  if (list == nullptr || row < 0) return -1;
  const size_t at = std::min(static_cast<size_t>(row), list->rows.size());
  ListRow inserted;
  inserted.cells.push_back(text);
  list->rows.insert(list->rows.begin() + at, inserted);
  return static_cast<int>(at);
}

void HeadlessWindow::ListSetCell(int id, int row, int column, const std::string& text) {
  HeadlessControl* list = FindList(id);
  if (list == nullptr || row < 0 || row >= static_cast<int>(list->rows.size()) || column < 0) {
    return;
  }
  std::vector<std::string>& cells = list->rows[row].cells;
  if (static_cast<size_t>(column) >= cells.size()) cells.resize(column + 1);
  cells[column] = text;
}

std::string HeadlessWindow::ListCell(int id, int row, int column) const {
  const HeadlessControl* control = Find(id);
  if (control == nullptr || row < 0 || row >= static_cast<int>(control->rows.size()) ||
      column < 0 || column >= static_cast<int>(control->rows[row].cells.size())) {
    return "";
  }
  return control->rows[row].cells[column];
}

int HeadlessWindow::ListRowCount(int id) const {
  const HeadlessControl* control = Find(id);
  return control == nullptr ? 0 : static_cast<int>(control->rows.size());
}

void HeadlessWindow::ListDeleteAllRows(int id) {
  if (HeadlessControl* list = FindList(id)) list->rows.clear();
}

uint32_t HeadlessWindow::ListRowState(int id, int row) const {
  const HeadlessControl* control = Find(id);
  if (control == nullptr || row < 0 || row >= static_cast<int>(control->rows.size())) return 0;
  return control->rows[row].state;
}

void HeadlessWindow::ListSetRowState(int id, int row, uint32_t state, uint32_t mask) {
  HeadlessControl* list = FindList(id);
  if (list == nullptr || row < 0 || row >= static_cast<int>(list->rows.size())) return;
  const uint32_t old_state = list->rows[row].state;
  const uint32_t new_state = (old_state & ~mask) | (state & mask);
  if (new_state == old_state) return;
  list->rows[row].state = new_state;
  platform::UiEvent event;
  event.message = platform::UiMessage::kNotify;
  event.control_id = id;
  event.code = platform::kListItemChanged;
  event.item = row;
  event.old_state = old_state;
  event.new_state = new_state;
  Deliver(event);
}

bool HeadlessWindow::AnimationOpen(int id, uint16_t animation_id) {
  HeadlessControl* control = FindMutable(id);
  if (control == nullptr || control->kind != ControlKind::kAnimation || module_ == nullptr) {
    return false;
  }
  // The animation control takes a RIFF "AVI " file; anything else fails to open.
  std::vector<uint8_t> bytes;
  if (!module_->NamedTypeResource("AVI", animation_id, &bytes) || bytes.size() < 12 ||
      std::string(bytes.begin(), bytes.begin() + 4) != "RIFF" ||
      std::string(bytes.begin() + 8, bytes.begin() + 12) != "AVI ") {
    return false;
  }
  control->animation_open = true;
  control->animation_id = animation_id;
  return true;
}

bool HeadlessWindow::AnimationPlay(int id, int /*from*/, int /*to*/, int /*repeat*/) {
  HeadlessControl* control = FindMutable(id);
  if (control == nullptr || !control->animation_open) return false;
  control->animation_playing = true;
  return true;
}

void HeadlessWindow::SetProgressPosition(int id, int percent) {
  HeadlessControl* control = FindMutable(id);
  if (control == nullptr || control->kind != ControlKind::kProgressBar) return;
  // As PBM_SETPOS: a position outside the range is brought inside it.
  control->position = percent < 0 ? 0 : percent > 100 ? 100 : percent;
}

void HeadlessWindow::AnimationClose(int id) {
  HeadlessControl* control = FindMutable(id);
  if (control == nullptr) return;
  control->animation_open = false;
  control->animation_playing = false;
}

}  // namespace qdw::headless
