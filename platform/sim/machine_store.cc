#include "platform/sim/machine_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <mutex>
#include <sstream>
#include <stdexcept>

namespace qdw::sim {
namespace {

// flock() locks belong to an open file description, so threads of one process need their own
// exclusion besides the lock between processes.
std::recursive_mutex& ProcessMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

// Held for one read-modify-write. Reentrant within a thread: only the outermost holder takes
// the file lock, since a second flock() on a new descriptor would wait for ourselves.
class MachineLock {
 public:
  explicit MachineLock(const std::string& path) : guard_(ProcessMutex()) {
    if (depth_++ > 0) return;
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) {
      --depth_;
      throw std::runtime_error("cannot open machine lock " + path);
    }
    while (::flock(fd_, LOCK_EX) != 0) {
    }
  }
  ~MachineLock() {
    if (--depth_ > 0) return;
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
  }
  MachineLock(const MachineLock&) = delete;
  MachineLock& operator=(const MachineLock&) = delete;

 private:
  static thread_local int depth_;
  std::lock_guard<std::recursive_mutex> guard_;
  int fd_ = -1;
};

thread_local int MachineLock::depth_ = 0;

}  // namespace

MachineStore::MachineStore(std::string root) : root_(std::move(root)) {
  while (root_.size() > 1 && root_.back() == '/') root_.pop_back();
}

std::string MachineStore::HostPath(const std::string& relative) const {
  return root_ + "/" + relative;
}

Json MachineStore::ReadUnlocked(const std::string& document) const {
  std::ifstream in(HostPath(document), std::ios::binary);
  if (!in) return Json::object();
  std::stringstream text;
  text << in.rdbuf();
  Json value = Json::parse(text.str(), nullptr, /*allow_exceptions=*/false);
  if (value.is_discarded()) {
    throw std::runtime_error("stand-in machine document is damaged: " + HostPath(document));
  }
  return value;
}

void MachineStore::WriteUnlocked(const std::string& document, const Json& value) const {
  std::string target = HostPath(document);
  std::string temp = target + ".tmp." + std::to_string(::getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + temp);
    out << value.dump(2) << "\n";
    if (!out.flush()) throw std::runtime_error("cannot write " + temp);
  }
  if (std::rename(temp.c_str(), target.c_str()) != 0) {
    std::remove(temp.c_str());
    throw std::runtime_error("cannot replace " + target);
  }
}

Json MachineStore::Read(const std::string& document) const {
  MachineLock lock(HostPath(".lock"));
  return ReadUnlocked(document);
}

void MachineStore::Write(const std::string& document, const Json& value) const {
  MachineLock lock(HostPath(".lock"));
  WriteUnlocked(document, value);
}

void MachineStore::Update(const std::string& document,
                          const std::function<bool(Json&)>& change) const {
  MachineLock lock(HostPath(".lock"));
  Json value = ReadUnlocked(document);
  if (change(value)) WriteUnlocked(document, value);
}

void MachineStore::WithLock(const std::function<void()>& body) const {
  MachineLock lock(HostPath(".lock"));
  body();
}

}  // namespace qdw::sim
