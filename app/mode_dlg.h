// `CModeDlg`: the first window; the user chooses backup or restore, or opens the log viewer,
// and goes on to the backup and restore dialog. The about box hangs off its system menu.
#ifndef QDW_APP_MODE_DLG_H_
#define QDW_APP_MODE_DLG_H_

#include "app/app_context.h"
#include "app/framework/dialog.h"
#include "app/framework/message_map.h"

namespace qdw::app {

class CModeDlg : public ui::Dialog {
 public:
  // `mode`: 1 preselects backup, 3 restore, anything else neither.
  CModeDlg(AppContext& app, int mode);

 protected:
  bool OnInitDialog() override;
  // Ends this dialog and opens the backup and restore dialog from within the handler.
  void OnOK() override;
  bool DispatchMapped(platform::UiEvent& event) override { return Map().Dispatch(*this, event); }

 private:
  static const ui::MessageMap<CModeDlg>& Map();
  bool OnSysCommand(platform::UiEvent& event);
  bool OnPaint(platform::UiEvent& event) { return PaintIconWhenMinimized(event); }
  bool OnQueryDragIcon(platform::UiEvent& event);
  void OnChooseMode();
  void OnViewLog();

  AppContext& app_;
  int mode_;
};

}  // namespace qdw::app

#endif  // QDW_APP_MODE_DLG_H_
