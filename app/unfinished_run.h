// What the user is told about a backup or restore that did not finish: what its undo put
// back, and what could not be put back yet.
#ifndef QDW_APP_UNFINISHED_RUN_H_
#define QDW_APP_UNFINISHED_RUN_H_

#include <string>
#include <vector>

#include "app/framework/ui_context.h"
#include "engine/journal/run_journal.h"

namespace qdw::app {

// Shows message 188 with what was put back and message 189 with what was not, each only when
// it has something to list.
void ShowUnfinishedRun(ui::UiContext& ui, const journal::RecoveryReport& report);

// Message 189 with `items`.
void ShowNotPutBack(ui::UiContext& ui, const std::vector<std::string>& items);

}  // namespace qdw::app

#endif  // QDW_APP_UNFINISHED_RUN_H_
