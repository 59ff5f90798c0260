// The actions of a dialog script (QDW_UI_SCRIPT), one a line, answered whenever the program
// waits for the user. Blank lines and lines starting with "#" are skipped.
//
//   expect dialog N          the dialog made from template N waits
//   expect message N         a message box showing string N waits
//   expect text ID TEXT      control ID of the waiting dialog shows TEXT (the rest of the line)
//   expect shown|hidden|enabled|disabled|checked|unchecked ID
//   expect rows ID N         list view ID has N rows
//   expect cell ID ROW COL TEXT   the cell of list view ID (rows from 1, columns from 0)
//   answer yes|no|ok         presses a button of the waiting message box
//   click ID                 clicks a button of the waiting dialog
//   type ID TEXT             replaces the text of edit control ID (TEXT may be empty)
//   select ID ROW...         clicks row ROW (from 1) of list view ID; further rows are added
//                            as a control-click would
//   browse PATH | browse cancel   answers the folder browser or the file-open dialog
//   sysmenu N                chooses command N of the waiting dialog's system menu
//   close                    closes the waiting dialog or message box with its close button
//   wait MS                  leaves the waiting dialog on the screen for MS milliseconds
//                            (at most 600000) before the next action; headless, it does nothing
//   hold ID PERCENT MS       while the program works, once progress bar ID shows PERCENT (0 to
//                            99) or more and is not full, holds the work for MS milliseconds (at
//                            most 600000) with the dialog on the screen; headless, it does nothing
#ifndef QDW_APP_HEADLESS_SCRIPT_H_
#define QDW_APP_HEADLESS_SCRIPT_H_

#include <cstddef>
#include <string>
#include <vector>

namespace qdw::headless {

enum class ActionKind {
  kExpectDialog,
  kExpectMessage,
  kExpectText,
  kExpectShown,
  kExpectHidden,
  kExpectEnabled,
  kExpectDisabled,
  kExpectChecked,
  kExpectUnchecked,
  kExpectRows,
  kExpectCell,
  kAnswer,
  kClick,
  kType,
  kSelect,
  kBrowse,
  kBrowseCancel,
  kSysMenu,
  kClose,
  kWait,
  kHold,
};

struct Action {
  int line = 0;        // 1-based line of the script
  std::string source;  // the line as written
  ActionKind kind = ActionKind::kClose;
  int number = 0;  // template, string, control id, system command or milliseconds
  // Rows of select; rows count, row and column of expect; percent and milliseconds of hold.
  std::vector<int> values;
  std::string text;  // text of expect text / type / expect cell, path of browse, answer word
};

class Script {
 public:
  // Parses a script. On a malformed line `*error` says which and the script is empty.
  static Script Parse(const std::string& text, std::string* error);

  bool AtEnd() const { return next_ >= actions_.size(); }
  const Action& Peek() const { return actions_[next_]; }
  Action Take() { return actions_[next_++]; }
  size_t Remaining() const { return actions_.size() - next_; }

 private:
  std::vector<Action> actions_;
  size_t next_ = 0;
};

}  // namespace qdw::headless

#endif  // QDW_APP_HEADLESS_SCRIPT_H_
