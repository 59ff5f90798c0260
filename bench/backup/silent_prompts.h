// Prompts for benchmark runs of the engines: every question is answered with Yes or OK, and
// the failure list is never opened.
#ifndef QDW_BENCH_BACKUP_SILENT_PROMPTS_H_
#define QDW_BENCH_BACKUP_SILENT_PROMPTS_H_

#include <string>

#include "engine/common/prompts.h"

namespace qdw::bench {

class SilentPrompts : public engine::Prompts {
 public:
  std::string LoadText(int) override { return std::string(); }
  engine::PromptAnswer ShowMessage(int, engine::PromptButtons buttons,
                                   engine::PromptIcon) override {
    return buttons == engine::PromptButtons::kOk ? engine::PromptAnswer::kOk
                                                 : engine::PromptAnswer::kYes;
  }
  engine::PromptAnswer ShowText(const std::string&, int, engine::PromptButtons buttons,
                                engine::PromptIcon icon) override {
    return ShowMessage(0, buttons, icon);
  }
  int CustomMessageBox(int, int, int) override { return engine::kCustomBoxCancel; }
  bool OpenFailureList() override { return false; }
};

}  // namespace qdw::bench

#endif  // QDW_BENCH_BACKUP_SILENT_PROMPTS_H_
