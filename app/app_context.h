// What the dialogs of the program share for the life of the process.
#ifndef QDW_APP_APP_CONTEXT_H_
#define QDW_APP_APP_CONTEXT_H_

#include <string>

#include "app/framework/ui_context.h"
#include "app/run_services.h"
#include "engine/common/prompts.h"
#include "platform/platform.h"

namespace qdw::app {

struct AppContext {
  ui::UiContext& ui;
  platform::Platform& platform;
  RunServices& services;
  engine::Prompts& prompts;
  // The destination folder of the latest backup run of this process; empty until then.
  std::string last_backup_destination;
};

}  // namespace qdw::app

#endif  // QDW_APP_APP_CONTEXT_H_
