#include "platform/win32/win32_dialog_window.h"

#include <commctrl.h>

#include <algorithm>

namespace qdw::win32 {

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return "";
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(copied, 0)));
  return text;
}

Win32DialogWindow::Win32DialogWindow(HWND dialog, uint16_t template_id, HINSTANCE module)
    : dialog_(dialog), template_id_(template_id), module_(module) {}

Win32DialogWindow::~Win32DialogWindow() {
  if (large_icon_ != nullptr) DestroyIcon(large_icon_);
  if (small_icon_ != nullptr) DestroyIcon(small_icon_);
}

HWND Win32DialogWindow::Item(int id) const {
  if (id == -1 || dialog_ == nullptr) return nullptr;
  return GetDlgItem(dialog_, id);
}

void Win32DialogWindow::SetControlText(int id, const std::string& text) {
  // A single-line edit control notifies EN_CHANGE itself on WM_SETTEXT.
  if (HWND item = Item(id)) SetWindowTextA(item, text.c_str());
}

std::string Win32DialogWindow::ControlText(int id) const {
  HWND item = Item(id);
  return item == nullptr ? "" : WindowText(item);
}

void Win32DialogWindow::ShowControl(int id, bool shown) {
  if (HWND item = Item(id)) ShowWindow(item, shown ? SW_SHOW : SW_HIDE);
}

bool Win32DialogWindow::IsControlShown(int id) const {
  HWND item = Item(id);
  return item != nullptr && (GetWindowLongA(item, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32DialogWindow::EnableControl(int id, bool enabled) {
  if (HWND item = Item(id)) EnableWindow(item, enabled ? TRUE : FALSE);
}

bool Win32DialogWindow::IsControlEnabled(int id) const {
  HWND item = Item(id);
  return item != nullptr && IsWindowEnabled(item) != FALSE;
}

void Win32DialogWindow::SetCheck(int id, bool checked) {
  if (HWND item = Item(id))
    SendMessageA(item, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32DialogWindow::IsChecked(int id) const {
  HWND item = Item(id);
  return item != nullptr && SendMessageA(item, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32DialogWindow::FocusControl(int id) {
  if (HWND item = Item(id))
    SendMessageA(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
}

void Win32DialogWindow::ClientSize(int* width, int* height) const {
  RECT rect = {};
  GetClientRect(dialog_, &rect);
  *width = rect.right - rect.left;
  *height = rect.bottom - rect.top;
}

bool Win32DialogWindow::ControlClientSize(int id, int* width, int* height) const {
  HWND item = Item(id);
  RECT rect = {};
  if (item == nullptr || !GetClientRect(item, &rect)) return false;
  *width = rect.right - rect.left;
  *height = rect.bottom - rect.top;
  return true;
}

void Win32DialogWindow::MoveControl(int id, const platform::ControlRect& rect) {
  if (HWND item = Item(id)) MoveWindow(item, rect.left, rect.top, rect.width, rect.height, TRUE);
}

void Win32DialogWindow::SystemIconSize(int* width, int* height) const {
  *width = GetSystemMetrics(SM_CXICON);
  *height = GetSystemMetrics(SM_CYICON);
}

void Win32DialogWindow::DrawIcon(int left, int top) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(dialog_, &paint);
  SendMessageA(dialog_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  if (large_icon_ != nullptr) ::DrawIcon(dc, left, top, large_icon_);
  EndPaint(dialog_, &paint);
}

void Win32DialogWindow::SetIcon(uint16_t icon_group_id, bool large) {
  const int width = GetSystemMetrics(large ? SM_CXICON : SM_CXSMICON);
  const int height = GetSystemMetrics(large ? SM_CYICON : SM_CYSMICON);
  HICON icon = static_cast<HICON>(
      LoadImageA(module_, MAKEINTRESOURCEA(icon_group_id), IMAGE_ICON, width, height, 0));
  if (icon == nullptr) return;
  SendMessageA(dialog_, WM_SETICON, large ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  HICON& kept = large ? large_icon_ : small_icon_;
  if (kept != nullptr) DestroyIcon(kept);
  kept = icon;
}

void Win32DialogWindow::AppendSystemMenuCommand(uint32_t command, const std::string& text) {
  HMENU menu = GetSystemMenu(dialog_, FALSE);
  if (menu == nullptr) return;
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, command, text.c_str());
  NoteSystemMenuCommand(command);
}

void Win32DialogWindow::EndDialog(int result) {
  if (ended_) return;
  ended_ = true;
  result_ = result;
  ::EndDialog(dialog_, result);
}

std::string Win32DialogWindow::Caption() const { return WindowText(dialog_); }

bool Win32DialogWindow::HasSystemMenu() const {
  return (GetWindowLongA(dialog_, GWL_STYLE) & WS_SYSMENU) != 0;
}

void Win32DialogWindow::PressButton(int id) {
  // The click a mouse makes: the button takes the focus, checks itself when it is an
  // automatic one, and tells the dialog BN_CLICKED.
  SetForegroundWindow(dialog_);
  SendMessageA(Item(id), BM_CLICK, 0, 0);
}

void Win32DialogWindow::SendSystemCommand(uint32_t command) {
  SendMessageA(dialog_, WM_SYSCOMMAND, command, 0);
}

}  // namespace qdw::win32
