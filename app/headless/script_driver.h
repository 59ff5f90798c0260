// The script of QDW_UI_SCRIPT played on real dialogs: the windowed dialog host hands every
// dialog, message box and shell dialog to this driver, which takes the script's actions in
// turn, checks its expectations and writes the same transcript as the headless host. A failure
// is written to the transcript and handed to the failure handler (the program ends, status 3).
#ifndef QDW_APP_HEADLESS_SCRIPT_DRIVER_H_
#define QDW_APP_HEADLESS_SCRIPT_DRIVER_H_

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/headless/script.h"
#include "app/headless/script_player.h"
#include "app/headless/transcript.h"
#include "platform/dialog_driver.h"
#include "platform/file_system.h"

namespace qdw::headless {

using ScriptDriverOptions = HeadlessOptions;

class ScriptDriver : public platform::DialogDriver {
 public:
  explicit ScriptDriver(ScriptDriverOptions options);

  // At the end of the program: actions left over are a failure.
  void Finish();
  bool failed() const { return player_.failed(); }

  void DialogOpened(const platform::DrivenDialog& dialog) override;
  int DialogWaits(platform::DrivenDialog& dialog) override;
  int DialogRepaints(const platform::DrivenDialog& dialog) override {
    return player_.DialogRepaints(dialog);
  }
  void DialogEnded(uint16_t template_id, int result,
                   const std::vector<platform::DrivenControl>& final_state) override;
  void DialogFailed(uint16_t template_id, platform::WinError error,
                    const std::string& reason) override;
  int AnswerMessageBox(const platform::MessageBoxRequest& request) override;
  platform::BrowseResult AnswerFolderBrowser(const std::string& title, std::string* path) override;
  bool AnswerFileOpen(const platform::FileOpenRequest& request, std::string* path) override;

 private:
  ScriptPlayer player_;
};

// The driver as Backup.exe makes it from QDW_UI_SCRIPT and QDW_UI_TRANSCRIPT (standard error
// when unset); null when QDW_UI_SCRIPT is not set. A script or transcript that cannot be opened
// ends the process with status 3.
std::unique_ptr<ScriptDriver> MakeScriptDriverFromEnvironment(platform::FileSystem* files);

}  // namespace qdw::headless

#endif  // QDW_APP_HEADLESS_SCRIPT_DRIVER_H_
