// A running dialog of the Win32 dialog host: platform::DialogWindow over the dialog's window
// and its controls, and what a scripted run's user actions (platform::ScriptedDialog) need of
// it: the messages a user's clicks and system-menu choices send.
#ifndef QDW_PLATFORM_WIN32_WIN32_DIALOG_WINDOW_H_
#define QDW_PLATFORM_WIN32_WIN32_DIALOG_WINDOW_H_

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dialog_driver.h"
#include "platform/dialog_host.h"
#include "platform/scripted_dialog.h"

namespace qdw::win32 {

class Win32DialogWindow : public platform::ScriptedDialog {
 public:
  Win32DialogWindow(HWND dialog, uint16_t template_id, HINSTANCE module);
  ~Win32DialogWindow() override;
  Win32DialogWindow(const Win32DialogWindow&) = delete;
  Win32DialogWindow& operator=(const Win32DialogWindow&) = delete;

  HWND handle() const { return dialog_; }
  HICON large_icon() const { return large_icon_; }
  bool ended() const { return ended_; }
  int result() const { return result_; }

  // platform::DialogWindow
  uint16_t TemplateId() const override { return template_id_; }
  bool HasControl(int id) const override { return Item(id) != nullptr; }
  void SetControlText(int id, const std::string& text) override;
  std::string ControlText(int id) const override;
  void ShowControl(int id, bool shown) override;
  bool IsControlShown(int id) const override;
  void EnableControl(int id, bool enabled) override;
  bool IsControlEnabled(int id) const override;
  void SetCheck(int id, bool checked) override;
  bool IsChecked(int id) const override;
  void FocusControl(int id) override;
  void ClientSize(int* width, int* height) const override;
  bool ControlClientSize(int id, int* width, int* height) const override;
  void MoveControl(int id, const platform::ControlRect& rect) override;
  bool IsMinimized() const override { return IsIconic(dialog_) != FALSE; }
  void SystemIconSize(int* width, int* height) const override;
  void DrawIcon(int left, int top) override;
  void SetIcon(uint16_t icon_group_id, bool large) override;
  void AppendSystemMenuCommand(uint32_t command, const std::string& text) override;
  void EndDialog(int result) override;
  void ListAddExtendedStyle(int id, uint32_t style) override;
  void ListInsertColumn(int id, int column, const std::string& heading) override;
  int ListInsertRow(int id, int row, const std::string& text) override;
  void ListSetCell(int id, int row, int column, const std::string& text) override;
  std::string ListCell(int id, int row, int column) const override;
  int ListRowCount(int id) const override;
  void ListDeleteAllRows(int id) override;
  uint32_t ListRowState(int id, int row) const override;
  void ListSetRowState(int id, int row, uint32_t state, uint32_t mask) override;
  void ListFitColumn(int id, int column) override;
  bool AnimationOpen(int id, uint16_t animation_id) override;
  bool AnimationPlay(int id, int from, int to, int repeat) override;
  void AnimationClose(int id) override;
  void SetProgressPosition(int id, int percent) override;
  void PumpMessages() override;

  // The script's driver of this dialog, told whenever it repaints during work; may be null.
  void set_driver(platform::DialogDriver* driver) { driver_ = driver; }

  // platform::DrivenDialog
  std::string Caption() const override;
  std::vector<platform::DrivenControl> Controls() const override;

 protected:
  // platform::ScriptedDialog
  bool HasSystemMenu() const override;
  void PressButton(int id) override;
  void SendSystemCommand(uint32_t command) override;

 private:
  HWND Item(int id) const;
  HWND ListItem(int id) const;
  int ListColumnCount(HWND list) const;
  platform::DrivenControl Describe(HWND control) const;

  HWND dialog_;
  uint16_t template_id_;
  HINSTANCE module_;
  HICON large_icon_ = nullptr;
  HICON small_icon_ = nullptr;
  std::vector<int> playing_;
  platform::DialogDriver* driver_ = nullptr;
  bool ended_ = false;
  int result_ = 0;
};

// The text of a window, whatever its length.
std::string WindowText(HWND window);

}  // namespace qdw::win32

#endif  // QDW_PLATFORM_WIN32_WIN32_DIALOG_WINDOW_H_
