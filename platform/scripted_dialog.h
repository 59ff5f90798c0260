// A dialog a script can play the user on, whichever host runs it: the user's actions are
// checked (a missing, hidden or disabled control, the wrong kind, a row the list lacks) and
// carried out here over the dialog's own operations, so that every host refuses and acts alike.
// A host supplies only what differs: how a button is pressed and a system command is sent.
#ifndef QDW_PLATFORM_SCRIPTED_DIALOG_H_
#define QDW_PLATFORM_SCRIPTED_DIALOG_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dialog_driver.h"
#include "platform/dialog_host.h"

namespace qdw::platform {

class ScriptedDialog : public DialogWindow, public DrivenDialog {
 public:
  // Both bases name the template; a host overrides this once.
  uint16_t TemplateId() const override = 0;

  std::string UserClick(int id) final;
  std::string UserType(int id, const std::string& text) final;
  std::string UserSelect(int id, const std::vector<int>& rows) final;
  std::string UserClose() final;
  std::string UserSysCommand(uint32_t command) final;

 protected:
  // Whether the dialog has a system menu (and so the caption's close button).
  virtual bool HasSystemMenu() const = 0;
  // A mouse click on `id`, already found to be a reachable button.
  virtual void PressButton(int id) = 0;
  // A command of the system menu, already found to be on it.
  virtual void SendSystemCommand(uint32_t command) = 0;
  // Hosts call this from AppendSystemMenuCommand: what the user may choose from the menu.
  void NoteSystemMenuCommand(uint32_t command) { menu_commands_.push_back(command); }

 private:
  // Control `id` as the user sees it, or why the user cannot reach it (missing, hidden,
  // disabled).
  std::string Reachable(int id, DrivenControl* control) const;

  std::vector<uint32_t> menu_commands_;
};

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_SCRIPTED_DIALOG_H_
