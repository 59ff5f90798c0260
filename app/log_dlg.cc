#include "app/log_dlg.h"

#include <cerrno>
#include <cstdlib>

#include "app/log_line.h"
#include "app/resource_ids.h"
#include "lingvault/language_constants.h"

namespace qdw::app {

namespace {

constexpr uint32_t kLocaleEnglishUnitedStates = 1033;
constexpr int kColumnCount = 5;
constexpr int kMinimumWidth = 350;
constexpr int kMinimumHeight = 390;

std::string ModeText(ui::UiContext& ui, const std::string& field) {
  if (field == "1") return ui.LoadText(kTextBackup);
  if (field == "3") return ui.LoadText(kTextRestore);
  return "";
}

std::string SuccessText(ui::UiContext& ui, const std::string& field) {
  if (field == "1") return ui.LoadText(kTextSucceeded);
  if (field == "0") return ui.LoadText(kTextFailed);
  return "";
}

}  // namespace

CLogDlg::CLogDlg(AppContext& app)
    : ui::Dialog(app.ui, kLogDialogTemplate), app_(app), log_(app.platform) {}

const ui::MessageMap<CLogDlg>& CLogDlg::Map() {
  using Map = ui::MessageMap<CLogDlg>;
  static const Map map = {
      Map::On(platform::UiMessage::kSize, &CLogDlg::OnSize),
      Map::On(platform::UiMessage::kGetMinMaxInfo, &CLogDlg::OnGetMinMaxInfo),
      Map::On(platform::UiMessage::kPaint, &CLogDlg::OnPaint),
      Map::Notify(kLogList, platform::kListItemChanged, &CLogDlg::OnSelectionChange),
      Map::Clicked(kSelectAllButton, &CLogDlg::OnSelectAll),
      Map::Clicked(kDeleteEntriesButton, &CLogDlg::OnDeleteEntries),
  };
  return map;
}

bool CLogDlg::OnInitDialog() {
  SetDialogIcon(kDialogIcon);
  SetItemString(kLogHeading, kTextLogHeading);
  SetItemString(kDeleteEntriesButton, kTextDeleteEntries);
  SetItemString(kSelectAllButton, kTextSelectAll);
  SetItemString(platform::kIdOk, kTextClose);
  platform::DialogWindow& dialog = window();
  dialog.ListAddExtendedStyle(kLogList, platform::kListExFullRowSelect);
  for (int column = 0; column < kColumnCount; ++column) {
    dialog.ListInsertColumn(kLogList, column, LoadText(kTextColumnNumber + column));
  }
  FillList();
  EnableItem(kDeleteEntriesButton, false);
  EnableItem(kSelectAllButton, dialog.ListRowCount(kLogList) > 0);
  for (int column = 0; column < kColumnCount; ++column) dialog.ListFitColumn(kLogList, column);
  dialog.ControlClientSize(kSelectAllButton, &button_width_, &button_height_);
  int width = 0;
  int height = 0;
  dialog.ClientSize(&width, &height);
  Layout(width, height);
  return true;
}

void CLogDlg::FillList() {
  lines_.clear();
  log_.Read(&lines_);
  const bool twelve_hour = app_.platform.system().ThreadLocale() == kLocaleEnglishUnitedStates;
  platform::DialogWindow& dialog = window();
  for (size_t i = 0; i < lines_.size(); ++i) {
    const LogFields fields = SplitLogLine(lines_[i]);
    const int row = dialog.ListInsertRow(kLogList, static_cast<int>(i), std::to_string(i + 1));
    if (row < 0) continue;
    dialog.ListSetCell(kLogList, row, 1, ModeText(ui(), fields.mode));
    dialog.ListSetCell(kLogList, row, 2, SuccessText(ui(), fields.success));
    dialog.ListSetCell(kLogList, row, 3, fields.archive_path);
    dialog.ListSetCell(kLogList, row, 4, twelve_hour ? TwelveHourForm(fields.time) : fields.time);
  }
}

void CLogDlg::Layout(int width, int height) {
  const int w = button_width_;
  const int h = button_height_;
  platform::DialogWindow& dialog = window();
  dialog.MoveControl(kLogHeading, {7, 7, language::kLogHeadingWidth, 15});
  dialog.MoveControl(kLogSecondHeading, {width - 207, 7, 200, 15});
  dialog.MoveControl(kLogList, {7, 25, width - 14, height - h - 39});
  dialog.MoveControl(kDeleteEntriesButton, {7, height - h - 7, w, h});
  dialog.MoveControl(kSelectAllButton, {w + 14, height - h - 7, w, h});
  dialog.MoveControl(platform::kIdOk, {width - w - 7, height - h - 7, w, h});
}

bool CLogDlg::OnSize(platform::UiEvent& event) {
  Layout(event.width, event.height);
  return false;  // the default handling runs as well
}

bool CLogDlg::OnGetMinMaxInfo(platform::UiEvent& event) {
  event.min_width = kMinimumWidth;
  event.min_height = kMinimumHeight;
  return true;
}

int CLogDlg::SelectedCount() {
  int selected = 0;
  const int rows = window().ListRowCount(kLogList);
  for (int row = 0; row < rows; ++row) {
    if (window().ListRowState(kLogList, row) & platform::kListStateSelected) ++selected;
  }
  return selected;
}

bool CLogDlg::OnSelectionChange(platform::UiEvent& /*event*/) {
  EnableItem(kDeleteEntriesButton, SelectedCount() > 0);
  EnableItem(kSelectAllButton, true);
  return true;
}

void CLogDlg::OnSelectAll() {
  const uint32_t both = platform::kListStateSelected | platform::kListStateFocused;
  const int rows = window().ListRowCount(kLogList);
  for (int row = 0; row < rows; ++row) window().ListSetRowState(kLogList, row, both, both);
  window().FocusControl(kLogList);
}

void CLogDlg::OnDeleteEntries() {
  if (MessageBox(kMsgConfirmDeleteEntries, platform::MessageBoxButtons::kYesNo) !=
      platform::kIdYes) {
    return;
  }
  if (SelectedCount() == 0) return;
  platform::DialogWindow& dialog = window();
  // From the bottom up, so that the numbers of the rows still to come stay valid.
  for (int row = dialog.ListRowCount(kLogList) - 1; row >= 0; --row) {
    if (!(dialog.ListRowState(kLogList, row) & platform::kListStateSelected)) continue;
    const std::string number = dialog.ListCell(kLogList, row, 0);
    errno = 0;
    char* end = nullptr;
    const unsigned long position = std::strtoul(number.c_str(), &end, 10);
    if (errno != 0 || end == number.c_str() || position == 0 || position > lines_.size()) {
      continue;
    }
    lines_.erase(lines_.begin() + static_cast<long>(position - 1));
  }
  log_.Write(lines_);
  dialog.ListDeleteAllRows(kLogList);
  FillList();
  EnableItem(kDeleteEntriesButton, false);
  EnableItem(kSelectAllButton, dialog.ListRowCount(kLogList) > 0);
}

}  // namespace qdw::app
