// Message maps: a dialog class lists which handler takes which message, control and
// notification, and the dialog base looks the incoming message up in that table.
//
//   const MessageMap<CModeDlg>& CModeDlg::Map() {
//     static const MessageMap<CModeDlg> map = {
//         MessageMap<CModeDlg>::Clicked(1003, &CModeDlg::OnLog),
//         MessageMap<CModeDlg>::On(platform::UiMessage::kPaint, &CModeDlg::OnPaint),
//     };
//     return map;
//   }
#ifndef QDW_APP_FRAMEWORK_MESSAGE_MAP_H_
#define QDW_APP_FRAMEWORK_MESSAGE_MAP_H_

#include <initializer_list>
#include <vector>

#include "platform/dialog_host.h"

namespace qdw::ui {

// Matches every control id in an entry.
inline constexpr int kAnyControl = -0x10000;

template <class T>
class MessageMap {
 public:
  using Plain = void (T::*)();
  // Returns true when it handled the message; false asks for the default handling.
  using WithEvent = bool (T::*)(platform::UiEvent&);

  struct Entry {
    platform::UiMessage message;
    int control_id;
    int code;
    Plain plain;
    WithEvent with_event;
  };

  MessageMap(std::initializer_list<Entry> entries) : entries_(entries) {}

  // A button click (BN_CLICKED) of control `id`.
  static Entry Clicked(int id, Plain handler) {
    return {platform::UiMessage::kCommand, id, platform::kButtonClicked, handler, nullptr};
  }
  // A text change (EN_CHANGE) of edit control `id`.
  static Entry EditChanged(int id, Plain handler) {
    return {platform::UiMessage::kCommand, id, platform::kEditChange, handler, nullptr};
  }
  // A notification (WM_NOTIFY) with `code` from control `id`.
  static Entry Notify(int id, int code, WithEvent handler) {
    return {platform::UiMessage::kNotify, id, code, nullptr, handler};
  }
  // A window message that carries no control id (paint, size, system command, ...).
  static Entry On(platform::UiMessage message, WithEvent handler) {
    return {message, kAnyControl, 0, nullptr, handler};
  }

  // Runs the first matching handler; false when no entry matches.
  bool Dispatch(T& target, platform::UiEvent& event) const {
    for (const Entry& entry : entries_) {
      if (!Matches(entry, event)) continue;
      if (entry.plain == nullptr) return (target.*entry.with_event)(event);
      (target.*entry.plain)();
      return true;
    }
    return false;
  }

 private:
  static bool Matches(const Entry& entry, const platform::UiEvent& event) {
    if (entry.message != event.message) return false;
    if (entry.control_id == kAnyControl) return true;
    return entry.control_id == event.control_id && entry.code == event.code;
  }

  std::vector<Entry> entries_;
};

}  // namespace qdw::ui

#endif  // QDW_APP_FRAMEWORK_MESSAGE_MAP_H_
