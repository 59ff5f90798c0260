// `CLogDlg`: shows the operation log as a list and lets the user delete entries.
#ifndef QDW_APP_LOG_DLG_H_
#define QDW_APP_LOG_DLG_H_

#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/framework/dialog.h"
#include "app/framework/message_map.h"
#include "app/operation_log.h"

namespace qdw::app {

class CLogDlg : public ui::Dialog {
 public:
  explicit CLogDlg(AppContext& app);

 protected:
  bool OnInitDialog() override;
  bool DispatchMapped(platform::UiEvent& event) override { return Map().Dispatch(*this, event); }

 private:
  static const ui::MessageMap<CLogDlg>& Map();
  void FillList();
  void Layout(int width, int height);
  bool OnSize(platform::UiEvent& event);
  bool OnGetMinMaxInfo(platform::UiEvent& event);
  bool OnPaint(platform::UiEvent& event) { return PaintIconWhenMinimized(event); }
  bool OnSelectionChange(platform::UiEvent& event);
  void OnSelectAll();
  void OnDeleteEntries();
  int SelectedCount();

  AppContext& app_;
  OperationLog log_;
  std::vector<std::string> lines_;
  int button_width_ = 0;
  int button_height_ = 0;
};

}  // namespace qdw::app

#endif  // QDW_APP_LOG_DLG_H_
