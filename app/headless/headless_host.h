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
#include "app/headless/transcript.h"
#include "platform/dialog_host.h"
#include "platform/file_system.h"

namespace qdw::headless {

class HeadlessWindow;

// Raised by the host once the script has failed, so that the program stops where it is.
class ScriptFailure : public std::runtime_error {
 public:
  explicit ScriptFailure(const std::string& what) : std::runtime_error(what) {}
};

struct HeadlessOptions {
  std::string script;       // the actions, one a line
  std::string script_name;  // how failures name the script (its file name)
  std::ostream* transcript = nullptr;
  // Keeps a transcript file open for the host's life (when the host owns it).
  std::shared_ptr<std::ostream> transcript_file;
  // Called once with the failure; the program's handler ends the process. When it returns,
  // the host throws ScriptFailure.
  std::function<void(const std::string&)> on_failure;
  // When given, the folder browser only accepts folders that exist on the machine.
  platform::FileSystem* files = nullptr;
};

class HeadlessHost : public platform::DialogHost {
 public:
  explicit HeadlessHost(HeadlessOptions options);
  ~HeadlessHost() override;

  // At the end of the program: actions left over are a failure (an expectation never met).
  void Finish();
  bool failed() const { return failed_; }
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
  // The next action, taken while `waiting` waits for the user; fails when there is none.
  Action NextAction(const std::string& waiting);
  [[noreturn]] void Fail(const std::string& what);
  [[noreturn]] void FailAction(const Action& action, const std::string& what);
  void ThrowIfFailed() const;
  void RunDialogAction(HeadlessWindow& window, const Action& action, const std::string& waiting);
  void CheckDialogExpectation(HeadlessWindow& window, const Action& action);
  bool FolderExists(const std::string& path) const;

  HeadlessOptions options_;
  Script script_;
  std::string parse_error_;
  Transcript transcript_;
  const platform::Library* module_ = nullptr;
  int wait_cursor_depth_ = 0;
  bool failed_ = false;
  std::string failure_;
};

// Reads QDW_UI_SCRIPT (a file of actions) and QDW_UI_TRANSCRIPT (where the transcript goes;
// standard error when unset) from the environment and makes the host the program uses. On a
// failure it writes the reason to standard error and ends the process with status 3.
std::unique_ptr<HeadlessHost> MakeHeadlessHostFromEnvironment(platform::FileSystem* files);

// The exit status of a failed script.
inline constexpr int kScriptFailedExitStatus = 3;

}  // namespace qdw::headless

#endif  // QDW_APP_HEADLESS_HEADLESS_HOST_H_
