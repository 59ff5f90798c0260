#include "app/dialog_progress.h"

#include "app/resource_ids.h"

namespace qdw::app {

namespace {

// Longest time the dialog goes without repainting while the work goes on, in milliseconds.
constexpr uint64_t kRepaintIntervalMs = 50;
constexpr int kFullPercent = 100;

}  // namespace

std::string ProgressText(const ui::UiContext& ui, const engine::ProgressStep& step) {
  std::string text = ui.LoadText(kTextPhaseFirst + static_cast<int>(step.phase));
  if (step.volume <= 0) return text;
  text += " (" + ui.LoadText(kTextVolume) + " " + std::to_string(step.volume);
  if (step.volumes > 0) text += "/" + std::to_string(step.volumes);
  return text + ")";
}

void DialogProgress::ShowControls(bool shown) {
  window_.ShowControl(kProgressText, shown);
  window_.ShowControl(kProgressBar, shown);
}

void DialogProgress::Begin(const engine::ProgressStep& step, uint64_t total) {
  total_ = total;
  SetText(ProgressText(ui_, step));
  SetPercent(0);
  Repaint();
}

void DialogProgress::Show(const engine::ProgressStep& step) {
  SetText(ProgressText(ui_, step));
  Repaint();
}

void DialogProgress::Advance(uint64_t done) {
  // A phase without a measure moves only when it is finished.
  const bool moved =
      total_ > 0 &&
      SetPercent(static_cast<int>((done < total_ ? done : total_) * kFullPercent / total_));
  if (moved || clock_.TickCount() - last_repaint_ >= kRepaintIntervalMs) Repaint();
}

void DialogProgress::Finish() {
  SetPercent(kFullPercent);
  Repaint();
}

void DialogProgress::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  window_.SetControlText(kProgressText, text);
}

bool DialogProgress::SetPercent(int percent) {
  if (percent == percent_) return false;
  percent_ = percent;
  window_.SetProgressPosition(kProgressBar, percent);
  return true;
}

void DialogProgress::Repaint() {
  window_.PumpMessages();
  last_repaint_ = clock_.TickCount();
}

}  // namespace qdw::app
