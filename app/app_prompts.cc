#include "app/app_prompts.h"

#include "app/custom_message_box.h"
#include "lingvault/language_constants.h"
#include "platform/resources/string_table.h"

namespace qdw::app {

namespace {

platform::MessageBoxButtons ToButtons(engine::PromptButtons buttons) {
  return buttons == engine::PromptButtons::kYesNo ? platform::MessageBoxButtons::kYesNo
                                                  : platform::MessageBoxButtons::kOk;
}

platform::MessageBoxIcon ToIcon(engine::PromptIcon icon) {
  switch (icon) {
    case engine::PromptIcon::kInformation:
      return platform::MessageBoxIcon::kInformation;
    case engine::PromptIcon::kQuestion:
      return platform::MessageBoxIcon::kQuestion;
    case engine::PromptIcon::kWarning:
      return platform::MessageBoxIcon::kWarning;
    case engine::PromptIcon::kStop:
      return platform::MessageBoxIcon::kStop;
    case engine::PromptIcon::kNone:
      break;
  }
  return platform::MessageBoxIcon::kNone;
}

engine::PromptAnswer ToAnswer(int result) {
  if (result == platform::kIdYes) return engine::PromptAnswer::kYes;
  if (result == platform::kIdNo) return engine::PromptAnswer::kNo;
  return engine::PromptAnswer::kOk;
}

}  // namespace

engine::PromptAnswer AppPrompts::ShowMessage(int message_id, engine::PromptButtons buttons,
                                             engine::PromptIcon icon) {
  return ToAnswer(ui_.MessageBox(message_id, ToButtons(buttons), ToIcon(icon)));
}

engine::PromptAnswer AppPrompts::ShowText(const std::string& text, int message_id,
                                          engine::PromptButtons buttons, engine::PromptIcon icon) {
  return ToAnswer(ui_.MessageBoxText(text, message_id, ToButtons(buttons), ToIcon(icon)));
}

int AppPrompts::CustomMessageBox(int message_id, int ok_text_id, int cancel_text_id) {
  CCustomMessageBox box(ui_);
  box.message = ui_.LoadText(message_id);
  box.ok_caption = ui_.LoadText(ok_text_id);
  box.cancel_caption = ui_.LoadText(cancel_text_id);
  return box.DoModal() == platform::kIdOk ? engine::kCustomBoxOk : engine::kCustomBoxCancel;
}

std::string ModuleTexts::Text(int string_id) const {
  if (string_id < 0 || string_id > 0xFFFF) return "";
  return resources::ResourceStrings(module_, language::kCodePage)
      .Text(static_cast<uint16_t>(string_id));
}

}  // namespace qdw::app
