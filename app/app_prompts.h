// The engines' way to the user (engine::Prompts) over the program's dialogs.
#ifndef QDW_APP_APP_PROMPTS_H_
#define QDW_APP_APP_PROMPTS_H_

#include <string>

#include "app/framework/ui_context.h"
#include "app/operation_log.h"
#include "engine/common/prompts.h"

namespace qdw::app {

class AppPrompts : public engine::Prompts {
 public:
  AppPrompts(ui::UiContext& ui, platform::Platform& platform) : ui_(ui), log_(platform) {}

  std::string LoadText(int string_id) override { return ui_.LoadText(string_id); }
  engine::PromptAnswer ShowMessage(int message_id, engine::PromptButtons buttons,
                                   engine::PromptIcon icon) override;
  engine::PromptAnswer ShowText(const std::string& text, int message_id,
                                engine::PromptButtons buttons, engine::PromptIcon icon) override;
  int CustomMessageBox(int message_id, int ok_text_id, int cancel_text_id) override;
  bool OpenFailureList() override { return log_.OpenFailureList(); }

 private:
  ui::UiContext& ui_;
  OperationLog log_;
};

// The texts of the resource module (null: every text is empty).
class ModuleTexts : public ui::TextSource {
 public:
  explicit ModuleTexts(const platform::Library* module) : module_(module) {}
  std::string Text(int string_id) const override;

 private:
  const platform::Library* module_;
};

}  // namespace qdw::app

#endif  // QDW_APP_APP_PROMPTS_H_
