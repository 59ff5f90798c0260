#include "app/unfinished_run.h"

#include "app/resource_ids.h"

namespace qdw::app {
namespace {

// A long list is cut off: the message box must fit the screen.
constexpr size_t kMaxListedItems = 20;

void ShowList(ui::UiContext& ui, int string_id, const std::vector<std::string>& items,
              platform::MessageBoxIcon icon) {
  std::string text = ui.LoadText(string_id);
  for (size_t i = 0; i < items.size() && i < kMaxListedItems; ++i) text += "\n" + items[i];
  if (items.size() > kMaxListedItems) text += "\n...";
  ui.MessageBoxText(text, string_id, platform::MessageBoxButtons::kOk, icon);
}

}  // namespace

void ShowUnfinishedRun(ui::UiContext& ui, const journal::RecoveryReport& report) {
  if (!report.put_back.empty()) {
    ShowList(ui, kMsgRunPutBack, report.put_back, platform::MessageBoxIcon::kInformation);
  }
  if (!report.not_put_back.empty()) ShowNotPutBack(ui, report.not_put_back);
}

void ShowNotPutBack(ui::UiContext& ui, const std::vector<std::string>& items) {
  ShowList(ui, kMsgRunNotPutBack, items, platform::MessageBoxIcon::kWarning);
}

}  // namespace qdw::app
