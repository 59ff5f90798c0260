#include "app/framework/ui_context.h"

#include <algorithm>
#include <utility>

namespace qdw::ui {

UiContext::UiContext(platform::DialogHost& host, const TextSource& texts, std::string app_name)
    : host_(host), texts_(texts), app_name_(std::move(app_name)) {}

int UiContext::MessageBox(int string_id, platform::MessageBoxButtons buttons,
                          platform::MessageBoxIcon icon) {
  return MessageBoxText(LoadText(string_id), string_id, buttons, icon);
}

int UiContext::MessageBoxText(const std::string& text, int string_id,
                              platform::MessageBoxButtons buttons, platform::MessageBoxIcon icon) {
  platform::MessageBoxRequest request;
  request.string_id = string_id;
  request.text = text;
  request.caption = app_name_;
  request.buttons = buttons;
  request.icon = icon;
  return host_.ShowMessageBox(ActiveWindow(), request);
}

platform::DialogWindow* UiContext::ActiveWindow() const {
  return windows_.empty() ? nullptr : windows_.back();
}

void UiContext::PopWindow(platform::DialogWindow* window) {
  auto it = std::find(windows_.rbegin(), windows_.rend(), window);
  if (it != windows_.rend()) windows_.erase(std::next(it).base());
}

}  // namespace qdw::ui
