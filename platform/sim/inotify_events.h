// Draining an inotify queue opened with IN_NONBLOCK: every event queued so far, in order.
#ifndef QDW_PLATFORM_SIM_INOTIFY_EVENTS_H_
#define QDW_PLATFORM_SIM_INOTIFY_EVENTS_H_

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstddef>

namespace qdw::sim {

inline constexpr size_t kLargestEvent = sizeof(inotify_event) + NAME_MAX + 1;

// Calls `apply(event)` for each queued event until the queue is empty.
template <typename Apply>
void ApplyQueuedEvents(int queue, Apply&& apply) {
  alignas(inotify_event) char buffer[16384];
  for (;;) {
    ssize_t length = ::read(queue, buffer, sizeof(buffer));
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

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_INOTIFY_EVENTS_H_
