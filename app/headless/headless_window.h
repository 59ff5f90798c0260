// A dialog of the headless host: the controls of its template kept as plain state, the
// operations of platform::DialogWindow on that state, and the user's actions (click, type,
// select, close; checked in platform::ScriptedDialog), which reach the dialog's handler as the
// same messages a real user's do.
#ifndef QDW_APP_HEADLESS_HEADLESS_WINDOW_H_
#define QDW_APP_HEADLESS_HEADLESS_WINDOW_H_

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/headless/headless_control.h"
#include "platform/dialog_driver.h"
#include "platform/dialog_host.h"
#include "platform/library.h"
#include "platform/resources/dialog_template.h"
#include "platform/scripted_dialog.h"

namespace qdw::headless {

class HeadlessWindow : public platform::ScriptedDialog {
 public:
  HeadlessWindow(uint16_t template_id, const resources::DialogTemplate& dialog_template,
                 platform::DialogHandler& handler, const platform::Library* module);

  // Sends a message to the handler and does the default handling when it declines.
  void Deliver(platform::UiEvent& event);
  // Creation: the size limits, initialisation, and a first paint.
  void Create();

  bool ended() const { return ended_; }
  int result() const { return result_; }
  const HeadlessControl* Find(int id) const;

  // platform::DrivenDialog
  uint16_t TemplateId() const override { return template_id_; }
  std::string Caption() const override { return caption_; }
  std::vector<platform::DrivenControl> Controls() const override;

  // platform::DialogWindow
  bool HasControl(int id) const override { return Find(id) != nullptr; }
  void SetControlText(int id, const std::string& text) override;
  std::string ControlText(int id) const override;
  void ShowControl(int id, bool shown) override;
  bool IsControlShown(int id) const override;
  void EnableControl(int id, bool enabled) override;
  bool IsControlEnabled(int id) const override;
  void SetCheck(int id, bool checked) override;
  bool IsChecked(int id) const override;
  void FocusControl(int id) override { focus_ = id; }
  void ClientSize(int* width, int* height) const override;
  bool ControlClientSize(int id, int* width, int* height) const override;
  void MoveControl(int id, const platform::ControlRect& rect) override;
  bool IsMinimized() const override { return false; }
  void SystemIconSize(int* width, int* height) const override;
  void DrawIcon(int /*left*/, int /*top*/) override {}
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
  void ListFitColumn(int /*id*/, int /*column*/) override {}
  bool AnimationOpen(int id, uint16_t animation_id) override;
  bool AnimationPlay(int id, int from, int to, int repeat) override;
  void AnimationClose(int id) override;
  void SetProgressPosition(int id, int percent) override;
  // Nothing waits to be painted; the host is told the dialog would repaint now.
  void PumpMessages() override {
    if (on_repaint_) on_repaint_(*this);
  }

  // Called whenever the program lets the dialog repaint while it works.
  void set_on_repaint(std::function<void(const HeadlessWindow&)> on_repaint) {
    on_repaint_ = std::move(on_repaint);
  }

 protected:
  // platform::ScriptedDialog
  bool HasSystemMenu() const override { return has_system_menu_; }
  void PressButton(int id) override;
  void SendSystemCommand(uint32_t command) override;

 private:
  HeadlessControl* FindMutable(int id);
  HeadlessControl* FindList(int id);
  void ClickRadio(HeadlessControl* control);
  void Command(int id, int code);

  uint16_t template_id_;
  std::string caption_;
  bool resizable_ = false;
  bool has_system_menu_ = false;
  int client_width_ = 0;
  int client_height_ = 0;
  std::vector<HeadlessControl> controls_;
  platform::DialogHandler& handler_;
  const platform::Library* module_;
  std::function<void(const HeadlessWindow&)> on_repaint_;
  uint16_t large_icon_ = 0;
  int focus_ = 0;
  bool ended_ = false;
  int result_ = 0;
};

}  // namespace qdw::headless

#endif  // QDW_APP_HEADLESS_HEADLESS_WINDOW_H_
