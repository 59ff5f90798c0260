// How the backup and restore engines talk to the user while they run. The program implements
// it over its dialogs; tests pass a double that answers as scripted.
#ifndef QDW_ENGINE_COMMON_PROMPTS_H_
#define QDW_ENGINE_COMMON_PROMPTS_H_

#include <string>

namespace qdw::engine {

enum class PromptButtons { kOk, kYesNo };

// The icon shown beside the text. kStop is the hand (error) icon.
enum class PromptIcon { kNone, kInformation, kQuestion, kWarning, kStop };

enum class PromptAnswer { kOk, kYes, kNo };

// Results of CustomMessageBox, the dialog's own modal results.
inline constexpr int kCustomBoxOk = 1;
inline constexpr int kCustomBoxCancel = 2;

class Prompts {
 public:
  virtual ~Prompts() = default;

  // Text of string `string_id` of the resource module; empty when it has no such string.
  virtual std::string LoadText(int string_id) = 0;

  // Shows string `message_id` in a message box and waits for the answer.
  virtual PromptAnswer ShowMessage(int message_id, PromptButtons buttons, PromptIcon icon) = 0;

  // Shows a text the caller composed, such as a message followed by a list of paths.
  // `message_id` names the string the text starts with (0 when none), so that a record of
  // what was shown can say which message it was.
  virtual PromptAnswer ShowText(const std::string& text, int message_id, PromptButtons buttons,
                                PromptIcon icon) = 0;

  // The question box whose message and two button captions are strings of the resource
  // module. kCustomBoxOk when the user pressed the first button, otherwise kCustomBoxCancel.
  virtual int CustomMessageBox(int message_id, int ok_text_id, int cancel_text_id) = 0;

  // Opens the failure list of the last backup in the system's viewer without waiting.
  // False when the list does not exist.
  virtual bool OpenFailureList() = 0;
};

}  // namespace qdw::engine

#endif  // QDW_ENGINE_COMMON_PROMPTS_H_
