// The script a run plays and what its transcript says, shared by the headless host and the driver
// of real dialogs: both take actions in order, answer the system's own dialogs (message boxes,
// the folder browser, the file-open dialog) and end the run at the first failure alike.
#ifndef QDW_APP_HEADLESS_SCRIPT_PLAYER_H_
#define QDW_APP_HEADLESS_SCRIPT_PLAYER_H_

#include <functional>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>

#include "app/headless/script.h"
#include "app/headless/transcript.h"
#include "platform/dialog_host.h"
#include "platform/file_system.h"

namespace qdw::headless {

// Raised once the script has failed, so that the program stops where it is.
class ScriptFailure : public std::runtime_error {
 public:
  explicit ScriptFailure(const std::string& what) : std::runtime_error(what) {}
};

struct HeadlessOptions {
  std::string script;       // the actions, one a line
  std::string script_name;  // how failures name the script (its file name)
  std::ostream* transcript = nullptr;
  // Keeps a transcript file open for the player's life (when the player owns it).
  std::shared_ptr<std::ostream> transcript_file;
  // Called once with the failure; the program's handler ends the process. When it returns,
  // the player throws ScriptFailure.
  std::function<void(const std::string&)> on_failure;
  // When given, the folder browser only accepts folders that exist on the machine.
  platform::FileSystem* files = nullptr;
};

// What an expectation about one control looks at, whichever host holds the control.
struct ControlState {
  std::string text;
  bool shown = true;
  bool enabled = true;
  bool checked = false;
  size_t row_count = 0;
  std::string cell;  // the list cell the action names, empty when there is none
};

class ScriptPlayer {
 public:
  explicit ScriptPlayer(HeadlessOptions options);

  // At the end of the program: actions left over are a failure (an expectation never met).
  void Finish();
  bool failed() const { return failed_; }

  // The next action, taken while `waiting` waits for the user; fails when there is none.
  Action NextAction(const std::string& waiting);
  [[noreturn]] void Fail(const std::string& what);
  [[noreturn]] void FailAction(const Action& action, const std::string& what);
  void ThrowIfFailed() const;

  // Fails the run unless `control` (number action.number) meets the expectation `action`.
  void CheckControl(const Action& action, const ControlState& control);

  // The system's own dialogs, answered by the script.
  int AnswerMessageBox(const platform::MessageBoxRequest& request);
  platform::BrowseResult AnswerFolderBrowser(const std::string& title, std::string* path);
  bool AnswerFileOpen(const platform::FileOpenRequest& request, std::string* path);

  Transcript& transcript() { return transcript_; }

 private:
  bool FolderExists(const std::string& path) const;

  HeadlessOptions options_;
  Script script_;
  std::string parse_error_;
  Transcript transcript_;
  bool failed_ = false;
  std::string failure_;
};

}  // namespace qdw::headless

#endif  // QDW_APP_HEADLESS_SCRIPT_PLAYER_H_
