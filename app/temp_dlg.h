// `CTempDlg`: asks for a folder where a restore can unpack its temporary files.
#ifndef QDW_APP_TEMP_DLG_H_
#define QDW_APP_TEMP_DLG_H_

#include <string>

#include "app/app_context.h"
#include "app/framework/dialog.h"
#include "app/framework/message_map.h"

namespace qdw::app {

class CTempDlg : public ui::Dialog {
 public:
  // `repository_path` is the user's repository; a folder inside its product folder is refused,
  // since the restore replaces that folder. Empty: no such check.
  CTempDlg(AppContext& app, const std::string& repository_path);

  // The folder as typed, kept when the user pressed OK.
  const std::string& folder() const { return folder_; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  bool DispatchMapped(platform::UiEvent& event) override { return Map().Dispatch(*this, event); }

 private:
  static const ui::MessageMap<CTempDlg>& Map();
  void OnFolderChange();
  void OnBrowse();
  bool OnPaint(platform::UiEvent& event) { return PaintIconWhenMinimized(event); }
  bool InsideProductFolder(const std::string& folder) const;

  AppContext& app_;
  std::string product_folder_;
  std::string folder_;
};

// The shared folder browser of the dialogs: starts at the text of `edit_id` and puts the chosen
// folder there; shows message 121 when the shell cannot offer the browser.
void BrowseFolderInto(ui::UiContext& ui, platform::DialogWindow& window, int edit_id);

}  // namespace qdw::app

#endif  // QDW_APP_TEMP_DLG_H_
