// The dialog host of the stand-in machine: dialogs run without a screen, and a script answers
// whenever the program waits for the user (see script.h). A failed expectation, an action the
// user could not do, or a script that runs out while the program waits is a failure: it is
// written to the transcript and handed to the failure handler (the program ends with status 3).
#ifndef QDW_APP_HEADLESS_HEADLESS_HOST_H_
#define QDW_APP_HEADLESS_HEADLESS_HOST_H_

#include <functional>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/headless/script.h"
#include "app/headless/script_player.h"
#include "platform/dialog_host.h"
#include "platform/file_system.h"

namespace qdw::headless {

class HeadlessWindow;

class HeadlessHost : public platform::DialogHost {
 public:
  explicit HeadlessHost(HeadlessOptions options);
  ~HeadlessHost() override;

  // At the end of the program: actions left over are a failure (an expectation never met).
  void Finish() { player_.Finish(); }
  bool failed() const { return player_.failed(); }
  int wait_cursor_depth() const { return wait_cursor_depth_; }

  void SetResourceModule(const platform::Library* module) override { module_ = module; }
  int RunModal(uint16_t template_id, platform::DialogHandler& handler,
               platform::DialogWindow* owner) override;
  int ShowMessageBox(platform::DialogWindow* owner,
                     const platform::MessageBoxRequest& request) override;
  platform::BrowseResult BrowseForFolder(platform::DialogWindow* owner, const std::string& title,
                                         std::string* path) override;
  bool OpenFileDialog(platform::DialogWindow* owner, const platform::FileOpenRequest& request,
                      std::string* path) override;
  void BeginWaitCursor() override { ++wait_cursor_depth_; }
  void EndWaitCursor() override;

 private:
  ScriptPlayer player_;
  const platform::Library* module_ = nullptr;
  int wait_cursor_depth_ = 0;
};

// Reads QDW_UI_SCRIPT (a file of actions) and QDW_UI_TRANSCRIPT (where the transcript goes;
// standard error when unset) from the environment and makes the host the program uses. On a
// failure it writes the reason to standard error and ends the process with status 3.
std::unique_ptr<HeadlessHost> MakeHeadlessHostFromEnvironment(platform::FileSystem* files);

// The exit status of a failed script.
inline constexpr int kScriptFailedExitStatus = 3;

}  // namespace qdw::headless

#endif  // QDW_APP_HEADLESS_HEADLESS_HOST_H_
