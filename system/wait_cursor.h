// The hourglass shown while the program waits for outside programs. The application shell
// supplies the real cursor; without one nothing is shown. Calls nest: each Show is matched by
// one Hide, and the cursor goes only when the last Hide comes.
#ifndef QDW_SYSTEM_WAIT_CURSOR_H_
#define QDW_SYSTEM_WAIT_CURSOR_H_

namespace qdw::system {

class WaitCursor {
 public:
  virtual ~WaitCursor() = default;
  virtual void Show() = 0;
  virtual void Hide() = 0;
};

// Shows the cursor for the lifetime of the object; a null cursor does nothing.
class ScopedWaitCursor {
 public:
  explicit ScopedWaitCursor(WaitCursor* cursor) : cursor_(cursor) {
    if (cursor_) cursor_->Show();
  }
  ~ScopedWaitCursor() {
    if (cursor_) cursor_->Hide();
  }
  ScopedWaitCursor(const ScopedWaitCursor&) = delete;
  ScopedWaitCursor& operator=(const ScopedWaitCursor&) = delete;

 private:
  WaitCursor* cursor_;
};

}  // namespace qdw::system

#endif  // QDW_SYSTEM_WAIT_CURSOR_H_
