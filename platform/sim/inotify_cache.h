// What the stand-in's inotify-backed caches share: a change queue opened on first use, the mutex
// that guards a cache, draining the queue, and a forked child that starts afresh. Each cache is
// a process-wide object that is never destroyed.
#ifndef QDW_PLATFORM_SIM_INOTIFY_CACHE_H_
#define QDW_PLATFORM_SIM_INOTIFY_CACHE_H_

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstddef>
#include <mutex>

namespace qdw::sim {

inline constexpr size_t kLargestEvent = sizeof(inotify_event) + NAME_MAX + 1;

class InotifyCache {
 public:
  InotifyCache(const InotifyCache&) = delete;
  InotifyCache& operator=(const InotifyCache&) = delete;

 protected:
  InotifyCache() = default;
  ~InotifyCache() = default;

  // The last step of a cache's constructor: from here on a fork locks it and a forked child
  // makes it forget (a cache half made has nothing to forget).
  void RegisterForFork();

  // With mutex_ held: opens the queue on first use; false when the process has no inotify, and
  // the cache then answers with plain look-ups.
  bool QueueReady() {
    if (queue_ < 0 && !disabled_) {
      queue_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
      disabled_ = queue_ < 0;
    }
    return !disabled_;
  }

  // With mutex_ held: calls `apply(event)` for each queued event, in order, until none is left.
  template <typename Apply>
  void ApplyQueuedEvents(Apply&& apply) {
    alignas(inotify_event) char buffer[16384];
    for (;;) {
      ssize_t length = ::read(queue_, buffer, sizeof(buffer));
      if (length <= 0) {
        if (length < 0 && errno == EINTR) continue;
        return;  // EAGAIN: the queue is empty
      }
      for (ssize_t at = 0; at < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        apply(*event);
      }
      // The kernel fills the buffer with every whole event it holds: room left for the largest
      // event means the queue was empty, and asking again would only cost a call.
      if (sizeof(buffer) - static_cast<size_t>(length) >= kLargestEvent) return;
    }
  }

  // In a forked child, which shares the parent's queue: forget every cached answer and watch
  // without touching the queue (removing a watch would remove the parent's).
  virtual void ForgetAfterFork() = 0;

  std::mutex mutex_;
  int queue_ = -1;

 private:
  static void LockAll();
  static void UnlockAll();
  static void RestartInChild();

  bool disabled_ = false;
};

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_INOTIFY_CACHE_H_
