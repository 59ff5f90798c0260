// The list views and the animation of a Win32 dialog, and what its controls show.
#include <windows.h>
// After <windows.h>, which it needs.
#include <commctrl.h>

#include <algorithm>

#include "platform/win32/win32_dialog_window.h"

namespace qdw::win32 {

namespace {

// The space a header item takes around its text, in pixels.
constexpr LRESULT kHeadingMargins = 16;

std::string ClassName(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof(name));
  return name;
}

}  // namespace

HWND Win32DialogWindow::ListItem(int id) const {
  HWND item = Item(id);
  return item != nullptr && lstrcmpiA(ClassName(item).c_str(), WC_LISTVIEWA) == 0 ? item : nullptr;
}

int Win32DialogWindow::ListColumnCount(HWND list) const {
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  return header == nullptr ? 0 : static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
}

void Win32DialogWindow::ListAddExtendedStyle(int id, uint32_t style) {
  if (HWND list = ListItem(id)) SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, style, style);
}

void Win32DialogWindow::ListInsertColumn(int id, int column, const std::string& heading) {
  HWND list = ListItem(id);
  if (list == nullptr) return;
  LVCOLUMNA entry = {};
  entry.mask = LVCF_TEXT | LVCF_SUBITEM | LVCF_WIDTH;
  entry.pszText = const_cast<char*>(heading.c_str());
  entry.iSubItem = column;
  entry.cx = 100;
  SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&entry));
}

int Win32DialogWindow::ListInsertRow(int id, int row, const std::string& text) {
  HWND list = ListItem(id);
  if (list == nullptr) return -1;
  LVITEMA item = {};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = const_cast<char*>(text.c_str());
  return static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void Win32DialogWindow::ListSetCell(int id, int row, int column, const std::string& text) {
  HWND list = ListItem(id);
  if (list == nullptr) return;
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

std::string Win32DialogWindow::ListCell(int id, int row, int column) const {
  HWND list = ListItem(id);
  if (list == nullptr || row < 0 || row >= ListRowCount(id)) return "";
  // The control copies at most the buffer's size; grow until the text fits with room to spare.
  std::string buffer(256, '\0');
  for (;;) {
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    const int copied = static_cast<int>(
        SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)));
    if (copied < static_cast<int>(buffer.size()) - 1 || buffer.size() >= (1u << 20)) {
      buffer.resize(static_cast<size_t>(std::max(copied, 0)));
      return buffer;
    }
    buffer.assign(buffer.size() * 4, '\0');
  }
}

int Win32DialogWindow::ListRowCount(int id) const {
  HWND list = ListItem(id);
  return list == nullptr ? 0 : static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

void Win32DialogWindow::ListDeleteAllRows(int id) {
  if (HWND list = ListItem(id)) SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
}

uint32_t Win32DialogWindow::ListRowState(int id, int row) const {
  HWND list = ListItem(id);
  if (list == nullptr) return 0;
  return static_cast<uint32_t>(
      SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_SELECTED | LVIS_FOCUSED));
}

void Win32DialogWindow::ListSetRowState(int id, int row, uint32_t state, uint32_t mask) {
  HWND list = ListItem(id);
  if (list == nullptr) return;
  // The list view notifies LVN_ITEMCHANGED itself for every row whose state changes.
  LVITEMA item = {};
  item.stateMask = mask;
  item.state = state;
  SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void Win32DialogWindow::ListFitColumn(int id, int column) {
  HWND list = ListItem(id);
  if (list == nullptr) return;
  // The list view fits either the contents or the heading; the column needs the wider.
  SendMessageA(list, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(LVSCW_AUTOSIZE, 0));
  const LRESULT contents = SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0);
  SendMessageA(list, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(LVSCW_AUTOSIZE_USEHEADER, 0));
  LRESULT heading = SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0);
  // Some list views measure the heading without the header's margins; the text must fit whole.
  char text[128] = {};
  LVCOLUMNA entry = {};
  entry.mask = LVCF_TEXT;
  entry.pszText = text;
  entry.cchTextMax = sizeof(text);
  if (SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&entry))) {
    const LRESULT needed =
        SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text)) +
        kHeadingMargins;
    if (needed > heading) heading = needed;
  }
  const int width = static_cast<int>(contents > heading ? contents : heading);
  SendMessageA(list, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0));
}

bool Win32DialogWindow::AnimationOpen(int id, uint16_t animation_id) {
  HWND item = Item(id);
  if (item == nullptr) return false;
  return SendMessageA(item, ACM_OPENA, reinterpret_cast<WPARAM>(module_),
                      reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(animation_id))) != 0;
}

bool Win32DialogWindow::AnimationPlay(int id, int from, int to, int repeat) {
  HWND item = Item(id);
  if (item == nullptr) return false;
  const bool playing =
      SendMessageA(item, ACM_PLAY, static_cast<WPARAM>(repeat),
                   MAKELPARAM(static_cast<WORD>(from), static_cast<WORD>(to))) != 0;
  if (playing && std::find(playing_.begin(), playing_.end(), id) == playing_.end()) {
    playing_.push_back(id);
  }
  return playing;
}

void Win32DialogWindow::AnimationClose(int id) {
  if (HWND item = Item(id)) SendMessageA(item, ACM_OPENA, 0, 0);
  playing_.erase(std::remove(playing_.begin(), playing_.end(), id), playing_.end());
}

platform::DrivenControl Win32DialogWindow::Describe(HWND control) const {
  platform::DrivenControl out;
  const int id = GetDlgCtrlID(control);
  out.id = id == 0xFFFF ? -1 : id;
  out.class_name = ClassName(control);
  out.style = static_cast<uint32_t>(GetWindowLongA(control, GWL_STYLE));
  out.shown = (out.style & WS_VISIBLE) != 0;
  out.enabled = IsWindowEnabled(control) != FALSE;
  out.playing = std::find(playing_.begin(), playing_.end(), out.id) != playing_.end();
  if (lstrcmpiA(out.class_name.c_str(), "Button") == 0) {
    out.checked = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  if (lstrcmpiA(out.class_name.c_str(), PROGRESS_CLASSA) == 0) {
    out.position = static_cast<int>(SendMessageA(control, PBM_GETPOS, 0, 0));
  }
  if (lstrcmpiA(out.class_name.c_str(), WC_LISTVIEWA) == 0) {
    const int rows = ListRowCount(out.id);
    const int columns = std::max(ListColumnCount(control), 1);
    for (int row = 0; row < rows; ++row) {
      std::vector<std::string> cells;
      for (int column = 0; column < columns; ++column) {
        cells.push_back(ListCell(out.id, row, column));
      }
      out.rows.push_back(cells);
      out.selected.push_back((ListRowState(out.id, row) & LVIS_SELECTED) != 0);
    }
  } else if (lstrcmpiA(out.class_name.c_str(), ANIMATE_CLASSA) != 0) {
    out.text = WindowText(control);
  }
  return out;
}

std::vector<platform::DrivenControl> Win32DialogWindow::Controls() const {
  // Dialog controls are created in template order, which is their order among the children.
  std::vector<platform::DrivenControl> controls;
  for (HWND child = GetWindow(dialog_, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    controls.push_back(Describe(child));
  }
  return controls;
}

}  // namespace qdw::win32
