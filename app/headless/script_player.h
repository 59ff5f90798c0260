// The script a run plays and what its transcript says, shared by the headless host and the driver
// of real dialogs: both take actions in order, answer the system's own dialogs (message boxes,
// the folder browser, the file-open dialog) and end the run at the first failure alike.
#ifndef QDW_APP_HEADLESS_SCRIPT_PLAYER_H_
#define QDW_APP_HEADLESS_SCRIPT_PLAYER_H_

#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/headless/script.h"
#include "app/headless/transcript.h"
#include "platform/dialog_driver.h"
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

  // The transcript's lines for a dialog that opened, could not be created, or ended showing
  // `final_state`.
  void DialogOpened(const platform::DrivenDialog& dialog);
  void DialogFailed(uint16_t template_id, platform::WinError error, const std::string& reason);
  void DialogEnded(uint16_t template_id, int result,
                   const std::vector<platform::DrivenControl>& final_state);

  // `dialog` repaints while the program works: the transcript gets a line for each shown text
  // and progress bar that changed since the dialog was last seen (`text ID "TEXT"`,
  // `progress ID PERCENT`). Returns the milliseconds of a script's hold that is due, or 0.
  int DialogRepaints(const platform::DrivenDialog& dialog);

  // One user action on `dialog`, which waits for the user. Returns how many milliseconds the
  // user looks at the dialog before the next action (the script's wait; 0: right away).
  int PlayDialogAction(platform::DrivenDialog& dialog);

  // The system's own dialogs, answered by the script.
  int AnswerMessageBox(const platform::MessageBoxRequest& request);
  platform::BrowseResult AnswerFolderBrowser(const std::string& title, std::string* path);
  bool AnswerFileOpen(const platform::FileOpenRequest& request, std::string* path);

  Transcript& transcript() { return transcript_; }

 private:
  bool FolderExists(const std::string& path) const;
  // Fails the run unless the control action.number of `dialog` meets the expectation `action`.
  void CheckControl(const platform::DrivenDialog& dialog, const Action& action);

  // What the transcript last showed of a control while its dialog repainted.
  struct Seen {
    bool shown = false;
    std::string text;
    int position = 0;
  };
  // Takes the script's next action when it is a hold that the bar of `dialog` has reached.
  int DueHold(const std::vector<platform::DrivenControl>& controls);

  HeadlessOptions options_;
  // Per running dialog (by template), per control id.
  std::map<uint16_t, std::map<int, Seen>> seen_;
  Script script_;
  std::string parse_error_;
  Transcript transcript_;
  bool failed_ = false;
  std::string failure_;
};

// How transcripts name a dialog: its template and caption.
std::string DialogName(const platform::DrivenDialog& dialog);

// Every control with an id, with its kind, state, text and list rows, one a line: the final
// state the transcript shows for each dialog.
std::string DescribeControls(const std::vector<platform::DrivenControl>& controls,
                             const std::string& indent);

}  // namespace qdw::headless

#endif  // QDW_APP_HEADLESS_SCRIPT_PLAYER_H_
