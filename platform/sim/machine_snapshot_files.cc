// The drives of a machine snapshot: one line per file and folder, read straight from the host
// folders and the sidecars, without the ports' per-call costs.
#include <dirent.h>
#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <mutex>
#include <tuple>

#include "platform/code_page_text.h"
#include "platform/file_system.h"
#include "platform/sim/host_creation_time.h"
#include "platform/sim/machine_snapshot_parts.h"
#include "platform/sim/sim_metadata.h"
#include "platform/sim/sim_paths.h"

namespace qdw::sim::snapshot {
namespace {

constexpr size_t kReadChunk = 1 << 20;
// A digest is remembered only for files unchanged this long: host time stamps are coarse, so a
// file rewritten within the same tick as an earlier look could otherwise keep its old digest.
constexpr int64_t kSettledNanoseconds = 2'000'000'000;

using DigestKey = std::tuple<uint64_t, uint64_t, uint64_t, int64_t, int64_t>;

std::mutex& CacheMutex() {
  static std::mutex mutex;
  return mutex;
}

std::map<DigestKey, std::string>& DigestCache() {
  static std::map<DigestKey, std::string> cache;
  return cache;
}

int64_t Nanoseconds(const struct statx_timestamp& t) {
  return static_cast<int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

std::string Sha256OfFile(const std::string& host) {
  int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return "unreadable";
  EVP_MD_CTX* context = EVP_MD_CTX_new();
  EVP_DigestInit_ex(context, EVP_sha256(), nullptr);
  std::string buffer(kReadChunk, '\0');
  ssize_t n;
  while ((n = ::read(fd, buffer.data(), buffer.size())) > 0) {
    EVP_DigestUpdate(context, buffer.data(), static_cast<size_t>(n));
  }
  ::close(fd);
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_DigestFinal_ex(context, digest, &length);
  EVP_MD_CTX_free(context);
  if (n < 0) return "unreadable";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    char two[3];
    std::snprintf(two, sizeof(two), "%02x", digest[i]);
    hex += two;
  }
  return hex;
}

std::string FileDigest(const std::string& host, const struct statx& st) {
  DigestKey key{(static_cast<uint64_t>(st.stx_dev_major) << 32) | st.stx_dev_minor, st.stx_ino,
                st.stx_size, Nanoseconds(st.stx_mtime), Nanoseconds(st.stx_ctime)};
  {
    std::lock_guard<std::mutex> lock(CacheMutex());
    auto found = DigestCache().find(key);
    if (found != DigestCache().end()) return found->second;
  }
  std::string digest = Sha256OfFile(host);
  struct timespec now;
  ::clock_gettime(CLOCK_REALTIME, &now);
  int64_t now_ns = static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
  if (now_ns - Nanoseconds(st.stx_ctime) > kSettledNanoseconds && digest != "unreadable") {
    std::lock_guard<std::mutex> lock(CacheMutex());
    DigestCache()[key] = digest;
  }
  return digest;
}

std::string TimeText(platform::FileTime time) {
  platform::CalendarTime c = platform::FileTimeToCalendar(time);
  char text[48];
  std::snprintf(text, sizeof(text), "%04u-%02u-%02uT%02u:%02u:%02u.%07lluZ", c.year, c.month, c.day,
                c.hour, c.minute, c.second,
                static_cast<unsigned long long>(time.ticks % platform::kTicksPerSecond));
  return text;
}

bool IsDatabaseJournal(const std::string& folded_name) {
  for (const char* suffix : {".MDB-JOURNAL", ".MDB-WAL", ".MDB-SHM"}) {
    const std::string s = suffix;
    if (folded_name.size() > s.size() &&
        folded_name.compare(folded_name.size() - s.size(), s.size(), s) == 0) {
      return true;
    }
  }
  return false;
}

class DriveWalk {
 public:
  DriveWalk(const SimMachine& machine, const SnapshotOptions& options,
            std::vector<std::string>* lines)
      : options_(options), code_page_(machine.CodePage()), meta_(machine.folder()), lines_(lines) {
    for (std::string path : options.excluded_paths) {
      for (char& c : path) {
        if (c == '/') c = '\\';
      }
      while (path.size() > 3 && path.back() == '\\') path.pop_back();
      std::string utf8;
      platform::AnsiToUtf8(code_page_, platform::UpperText(code_page_, path), &utf8);
      excluded_.push_back(utf8);
    }
  }

  void Walk(char letter, const std::string& host_root, bool ntfs) {
    ntfs_ = ntfs;
    WindowsPathParts parts;
    parts.drive = letter;
    parts.code_page = code_page_;
    Folder(host_root, &parts, std::string(1, letter) + ":");
  }

 private:
  bool Excluded(const std::string& key) const {
    for (const std::string& path : excluded_) {
      if (key == path || (key.size() > path.size() && key.compare(0, path.size(), path) == 0 &&
                          key[path.size()] == '\\')) {
        return true;
      }
    }
    return false;
  }

  void Folder(const std::string& host, WindowsPathParts* parts, const std::string& key) {
    DIR* dir = ::opendir(host.c_str());
    if (dir == nullptr) return;
    std::vector<std::string> names;
    while (dirent* entry = ::readdir(dir)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    for (const std::string& host_name : names) {
      std::string child_host = host + "/" + host_name;
      std::string ansi = AnsiName(code_page_, host_name);
      std::string folded;
      platform::AnsiToUtf8(code_page_, platform::UpperText(code_page_, ansi), &folded);
      std::string child_key = key + "\\" + folded;
      if (Excluded(child_key)) continue;
      struct statx st;
      if (::statx(AT_FDCWD, child_host.c_str(), AT_SYMLINK_NOFOLLOW,
                  STATX_BASIC_STATS | STATX_BTIME, &st) != 0) {
        continue;  // gone meanwhile
      }
      if (S_ISLNK(st.stx_mode)) {
        lines_->push_back(Line("junction", child_key, JunctionFields(child_host, *parts, ansi)));
        continue;  // its target is listed where it lies
      }
      bool folder = S_ISDIR(st.stx_mode);
      if (!folder && IsDatabaseJournal(folded)) continue;
      parts->components.push_back(ansi);
      ObjectMeta meta = meta_.Read(*parts);
      std::string spelling;
      platform::AnsiToUtf8(code_page_, ansi, &spelling);
      std::string fields = "name=" + Quoted(spelling);
      uint32_t bits = meta.attributes ? *meta.attributes : (folder ? 0 : platform::kAttrArchive);
      if (folder) bits |= platform::kAttrDirectory;
      if (!folder) {
        fields += " size=" + std::to_string(st.stx_size) + " sha256=" + FileDigest(child_host, st);
      }
      char attributes[16];
      std::snprintf(attributes, sizeof(attributes), "0x%X",
                    bits == 0 ? platform::kAttrNormal : bits);
      fields += std::string(" attributes=") + attributes;
      if (!folder && options_.file_write_times) {
        fields +=
            " written=" + TimeText(FileTimeFromUnix(st.stx_mtime.tv_sec, st.stx_mtime.tv_nsec));
      }
      if (!folder && options_.creation_times) {
        HostInfo info;
        StatHost(child_host, &info);
        fields += " created=" + TimeText(meta.creation ? platform::FileTime{*meta.creation}
                                                       : HostCreation(child_host, info));
      }
      if (ntfs_) fields += " dacl=" + (meta.dacl ? AclText(*meta.dacl) : std::string("inherited"));
      lines_->push_back(Line(folder ? "folder" : "file", child_key, fields));
      if (folder) Folder(child_host, parts, child_key);
      parts->components.pop_back();
    }
  }

  // A junction's own spelling, attributes and target.
  std::string JunctionFields(const std::string& host, WindowsPathParts parts,
                             const std::string& ansi) const {
    parts.components.push_back(ansi);
    ObjectMeta meta = meta_.Read(parts);
    std::string spelling;
    platform::AnsiToUtf8(code_page_, ansi, &spelling);
    uint32_t bits =
        meta.attributes.value_or(0) | platform::kAttrDirectory | platform::kAttrReparsePoint;
    char attributes[16];
    std::snprintf(attributes, sizeof(attributes), "0x%X", bits);
    char target[4096];
    ssize_t length = ::readlink(host.c_str(), target, sizeof(target));
    return "name=" + Quoted(spelling) + " attributes=" + attributes +
           " target=" + Quoted(length > 0 ? std::string(target, static_cast<size_t>(length)) : "");
  }

  const SnapshotOptions& options_;
  int code_page_;
  MetadataStore meta_;
  std::vector<std::string>* lines_;
  std::vector<std::string> excluded_;
  bool ntfs_ = true;
};

}  // namespace

void AddDriveLines(const SimMachine& machine, const SnapshotOptions& options,
                   std::vector<std::string>* lines) {
  auto description = machine.Description();
  Json drives = description->value("drives", Json::object());
  if (!drives.is_object()) return;
  DriveWalk walk(machine, options, lines);
  for (auto it = drives.begin(); it != drives.end(); ++it) {
    if (it.key().size() != 1 || !it->is_object()) continue;
    char letter = it.key()[0];
    std::string root = machine.store().HostPath("drives") + "/" + std::string(1, letter);
    walk.Walk(letter, root, it->value("fs", std::string("NTFS")) == "NTFS");
  }
}

}  // namespace qdw::sim::snapshot
