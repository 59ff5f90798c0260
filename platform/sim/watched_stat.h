// stat() of the stand-in's control files (faults.json, machine.json, locks.json, the drive
// folders), answered from a per-process cache that an inotify watch on each file's folder keeps
// current. Every port call asks whether these changed; most of the time nothing did, and reading
// an empty change queue is cheaper than walking each path again. The kernel queues a change
// before the call that made it returns, and the queue is read before each answer, so an answer
// reflects every change finished before the question, by this process or any other.
#ifndef QDW_PLATFORM_SIM_WATCHED_STAT_H_
#define QDW_PLATFORM_SIM_WATCHED_STAT_H_

#include <sys/stat.h>

#include <cstdint>
#include <string>

namespace qdw::sim {

// As ::stat(path, info): 0, or -1 with errno set. The cache follows what happens to the entry
// itself (created, written, its attributes changed, removed, renamed); for a folder that is its
// existence and identity, not its times, since changes inside it are not watched. The path's
// last component must not be a symbolic link, and the folders above the watched one must stay
// where they are (a machine folder is not renamed under a running program). Without inotify,
// or when a watch is refused or the queue overflows, the call is a plain stat().
int WatchedStat(const std::string& path, struct stat* info);

// One port call of this thread, which looks at the control files several times: the change
// queue is read at its first look only. Every answer within it still reflects each change
// finished before the call began; a change made during the call may be seen by the next.
class WatchedStatCall {
 public:
  WatchedStatCall();
  ~WatchedStatCall();
  WatchedStatCall(const WatchedStatCall&) = delete;
  WatchedStatCall& operator=(const WatchedStatCall&) = delete;
};

// A number for the outermost port call of this thread under way, new for each call; 0 outside
// any call. Other caches read their queues once a call by it.
uint64_t CurrentWatchedCall();

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_WATCHED_STAT_H_
