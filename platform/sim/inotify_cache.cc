#include "platform/sim/inotify_cache.h"

#include <pthread.h>

#include <vector>

namespace qdw::sim {
namespace {

std::mutex& RegistryMutex() {
  static std::mutex* mutex = new std::mutex();  // outlives every cache
  return *mutex;
}

std::vector<InotifyCache*>& Registry() {
  static auto* caches = new std::vector<InotifyCache*>();
  return *caches;
}

}  // namespace

void InotifyCache::RegisterForFork() {
  static std::once_flag handlers;
  std::call_once(handlers, [] { pthread_atfork(&LockAll, &UnlockAll, &RestartInChild); });
  std::lock_guard<std::mutex> lock(RegistryMutex());
  Registry().push_back(this);
}

// Every cache is locked across a fork, so that the child never inherits one half changed.
void InotifyCache::LockAll() {
  RegistryMutex().lock();
  for (InotifyCache* cache : Registry()) cache->mutex_.lock();
}

void InotifyCache::UnlockAll() {
  for (InotifyCache* cache : Registry()) cache->mutex_.unlock();
  RegistryMutex().unlock();
}

// The child starts afresh rather than steal its parent's queue.
void InotifyCache::RestartInChild() {
  for (InotifyCache* cache : Registry()) {
    cache->ForgetAfterFork();
    if (cache->queue_ >= 0) ::close(cache->queue_);
    cache->queue_ = -1;
  }
  UnlockAll();
}

}  // namespace qdw::sim
