// How far a run has got, shown in the backup and restore dialog: a line saying what is being
// done and a bar. The engines report through engine::Progress on the dialog's one thread; each
// report lets the dialog repaint, at least every few tens of milliseconds and whenever what it
// shows changes, while the user's input stays ignored.
#ifndef QDW_APP_DIALOG_PROGRESS_H_
#define QDW_APP_DIALOG_PROGRESS_H_

#include <cstdint>
#include <string>

#include "app/framework/ui_context.h"
#include "engine/common/progress.h"
#include "platform/dialog_host.h"
#include "platform/system_info.h"

namespace qdw::app {

// The text of `step` in this build's language: the phase, with the volume when it is known.
std::string ProgressText(const ui::UiContext& ui, const engine::ProgressStep& step);

class DialogProgress : public engine::Progress {
 public:
  DialogProgress(platform::DialogWindow& window, const ui::UiContext& ui,
                 platform::SystemInfo& clock)
      : window_(window), ui_(ui), clock_(clock) {}

  // Shows the line and the bar when a run starts working, hides them at its end.
  void ShowControls(bool shown);

  void Begin(const engine::ProgressStep& step, uint64_t total) override;
  void Show(const engine::ProgressStep& step) override;
  void Advance(uint64_t done) override;
  void Finish() override;

 private:
  void SetText(const std::string& text);
  // True when the bar moved.
  bool SetPercent(int percent);
  void Repaint();

  platform::DialogWindow& window_;
  const ui::UiContext& ui_;
  platform::SystemInfo& clock_;
  std::string text_;
  uint64_t total_ = 0;
  int percent_ = -1;
  uint64_t last_repaint_ = 0;
};

}  // namespace qdw::app

#endif  // QDW_APP_DIALOG_PROGRESS_H_
