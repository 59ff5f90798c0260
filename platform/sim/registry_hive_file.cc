#include "platform/sim/registry_hive_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <utility>

#include "platform/sim/regedit4_format.h"

namespace qdw::sim {

using platform::WinError;

namespace {

// ERROR_BADDB: the configuration registry database is corrupt.
constexpr WinError kErrorBadDb = 1009;

}  // namespace

RegistryHiveFile::Stamp RegistryHiveFile::StampOf(const struct stat& st) {
  Stamp stamp;
  stamp.device = st.st_dev;
  stamp.inode = st.st_ino;
  stamp.size = static_cast<uint64_t>(st.st_size);
  stamp.modified_ns = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return stamp;
}

RegistryHiveFile::RegistryHiveFile(const MachineStore& store, std::string relative_path,
                                   std::string root_name)
    : store_(store), relative_path_(std::move(relative_path)), root_name_(std::move(root_name)) {}

std::string RegistryHiveFile::last_error() const { return error_; }

WinError RegistryHiveFile::Refresh() {
  std::string path = store_.HostPath(relative_path_);
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  Stamp stamp;
  std::string text;
  if (fd < 0) {
    if (errno != ENOENT) {
      error_ = "cannot read " + path;
      return kErrorBadDb;
    }
    // No file yet: an empty hive.
    stamp.modified_ns = -2;
  } else {
    struct stat st;
    if (::fstat(fd, &st) != 0) {
      ::close(fd);
      error_ = "cannot read " + path;
      return kErrorBadDb;
    }
    stamp = StampOf(st);
    if (root_ && stamp == stamp_) {
      ::close(fd);
      return platform::kSuccess;
    }
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof(buffer))) > 0) text.append(buffer, n);
    ::close(fd);
    if (n < 0) {
      error_ = "cannot read " + path;
      return kErrorBadDb;
    }
  }
  if (root_ && stamp == stamp_) return platform::kSuccess;
  auto root = std::make_unique<RegistryNode>(root_name_);
  std::string error;
  if (!ParseRegedit4(text, root_name_, root.get(), &error)) {
    root_.reset();
    error_ = path + ": " + error;
    return kErrorBadDb;
  }
  root_ = std::move(root);
  stamp_ = stamp;
  error_.clear();
  return platform::kSuccess;
}

WinError RegistryHiveFile::Read(const std::function<WinError(const RegistryNode&)>& read) {
  std::lock_guard<std::mutex> guard(mutex_);
  WinError result = Refresh();
  if (result != platform::kSuccess) return result;
  return read(*root_);
}

WinError RegistryHiveFile::Update(const std::function<WinError(RegistryNode&, bool*)>& change) {
  std::lock_guard<std::mutex> guard(mutex_);
  WinError result = platform::kSuccess;
  try {
    store_.WithLock([&] {
      result = Refresh();
      if (result != platform::kSuccess) return;
      bool changed = false;
      result = change(*root_, &changed);
      if (result != platform::kSuccess || !changed) return;
      std::string path = store_.HostPath(relative_path_);
      std::string temp = path + ".tmp." + std::to_string(::getpid());
      {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << FormatRegedit4(*root_, root_name_);
        if (!out.flush()) result = platform::kErrorWriteFault;
      }
      if (result == platform::kSuccess && std::rename(temp.c_str(), path.c_str()) != 0) {
        result = platform::kErrorWriteFault;
      }
      if (result != platform::kSuccess) {
        std::remove(temp.c_str());
        root_.reset();  // the tree in memory no longer matches the file
        return;
      }
      // The tree in memory is what was written; only the new file's stamp is needed.
      struct stat st;
      if (::stat(path.c_str(), &st) == 0) {
        stamp_ = StampOf(st);
      } else {
        root_.reset();
      }
    });
  } catch (const std::runtime_error& e) {
    error_ = e.what();
    return platform::kErrorWriteFault;
  }
  return result;
}

}  // namespace qdw::sim
