// What a script sees of a dialog while the program works: the phase texts and progress bars
// as they change, and the holds that keep such a moment on the screen.
#include "app/headless/headless_control.h"
#include "app/headless/script_player.h"

namespace qdw::headless {

int ScriptPlayer::DialogRepaints(const platform::DrivenDialog& dialog) {
  ThrowIfFailed();
  const std::vector<platform::DrivenControl> controls = dialog.Controls();
  std::map<int, Seen>& seen = seen_[dialog.TemplateId()];
  for (const platform::DrivenControl& control : controls) {
    if (control.id == -1) continue;
    Seen& last = seen[control.id];
    const ControlKind kind = KindOf(control.class_name, control.style);
    // Only what a user looking at the dialog could tell apart is written.
    if (control.shown && kind == ControlKind::kProgressBar &&
        (!last.shown || last.position != control.position)) {
      transcript_.Line("progress " + std::to_string(control.id) + " " +
                       std::to_string(control.position));
    } else if (control.shown && kind == ControlKind::kStatic &&
               (!last.shown || last.text != control.text)) {
      transcript_.Line("text " + std::to_string(control.id) + " " + Quote(control.text));
    }
    last = {control.shown, control.text, control.position};
  }
  return DueHold(controls);
}

int ScriptPlayer::DueHold(const std::vector<platform::DrivenControl>& controls) {
  if (!parse_error_.empty() || script_.AtEnd() || script_.Peek().kind != ActionKind::kHold) {
    return 0;
  }
  const Action& hold = script_.Peek();
  for (const platform::DrivenControl& control : controls) {
    if (control.id != hold.number) continue;
    // A full bar is a phase that has ended, not the work under way.
    if (!control.shown || control.position < hold.values[0] || control.position >= 100) return 0;
    return NextAction("the working dialog").values[1];
  }
  return 0;
}

}  // namespace qdw::headless
