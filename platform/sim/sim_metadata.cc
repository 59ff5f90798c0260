#include "platform/sim/sim_metadata.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "platform/code_page_text.h"
#include "platform/sim/machine_store.h"
#include "platform/sim/sidecar_folder_index.h"
#include "platform/sim/sim_host.h"
#include "platform/windows_path.h"

namespace qdw::sim {
namespace {

constexpr char kSuffix[] = ".meta";
constexpr char kMovesFolder[] = ".moves";

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

void SyncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

std::string ParentOf(const std::string& path) { return path.substr(0, path.rfind('/')); }

// Most objects have no sidecar, and every file call asks: a plain open answers that cheaper
// than a stream.
bool ReadSidecar(const std::string& path, std::string* text) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buffer[4096];
  for (;;) {
    ssize_t length = ::read(fd, buffer, sizeof(buffer));
    if (length < 0 && errno == EINTR) continue;
    if (length > 0) {
      text->append(buffer, static_cast<size_t>(length));
      continue;
    }
    ::close(fd);
    return length == 0;
  }
}

// The metadata's half of a move whose host rename happened: the source's sidecar and children
// take the target's place, or the target loses its own when the source had none. Repeating it
// changes nothing: what the source had and no longer has is already at the target, and stays.
void FinishMetadataMove(const std::string& source, const std::string& target, bool had_sidecar,
                        bool had_children) {
  std::error_code ignored;
  if (Exists(source + kSuffix)) {
    std::filesystem::create_directories(std::filesystem::path(target).parent_path(), ignored);
    std::rename((source + kSuffix).c_str(), (target + kSuffix).c_str());
  } else if (!had_sidecar) {
    ::unlink((target + kSuffix).c_str());
  }
  if (Exists(source)) {
    // Sidecars a killed removal left at the target would otherwise dress the moved object's
    // children.
    std::filesystem::remove_all(target, ignored);
    std::filesystem::create_directories(std::filesystem::path(target).parent_path(), ignored);
    std::rename(source.c_str(), target.c_str());
  } else if (!had_children) {
    std::filesystem::remove_all(target, ignored);
  }
}

Json AclToJson(const platform::Acl& acl) {
  Json entries = Json::array();
  for (const platform::Ace& ace : acl.entries) {
    Json entry = {
        {"type", ace.type}, {"flags", ace.flags}, {"mask", ace.mask}, {"sid", ace.sid.ToString()}};
    // An entry carried as bytes keeps them, as Windows keeps every entry it was given.
    if (!ace.raw.empty()) entry["raw"] = ace.raw;
    entries.push_back(entry);
  }
  return entries;
}

platform::Acl AclFromJson(const Json& entries) {
  platform::Acl acl;
  for (const Json& entry : entries) {
    platform::Ace ace;
    ace.type = entry.value("type", platform::kAceAccessAllowed);
    ace.flags = entry.value("flags", uint8_t{0});
    ace.mask = entry.value("mask", 0u);
    platform::Sid::Parse(entry.value("sid", std::string()), &ace.sid);
    ace.raw = entry.value("raw", std::vector<uint8_t>());
    acl.entries.push_back(ace);
  }
  return acl;
}

void MakeParents(const std::string& file) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ignored);
}

}  // namespace

namespace {

// Both keys below are built on every file call: appended in place, without a temporary a name.
size_t ComponentsLength(const WindowsPathParts& path) {
  size_t length = 0;
  for (const std::string& name : path.components) length += name.size() + 1;
  return length;
}

}  // namespace

std::string CanonicalPath(const WindowsPathParts& path) {
  std::string key;
  key.reserve(3 + ComponentsLength(path));
  key += path.drive;
  key += ':';
  if (path.components.empty()) key += '\\';
  for (const std::string& name : path.components) {
    key += '\\';
    key += name;
  }
  // Folded in one pass: a separator is a character of its own and keeps its case.
  platform::UpperTextFrom(path.code_page, &key, 2);
  return key;
}

MetadataStore::MetadataStore(std::string machine_folder)
    : machine_folder_(std::move(machine_folder)), meta_root_(machine_folder_ + "/meta") {}

bool MetadataStore::FolderExists(const std::string& node_folder) const {
  return SidecarFolderExists(machine_folder_, node_folder);
}

std::string MetadataStore::NodePath(const WindowsPathParts& path) const {
  std::string node;
  // A name's UTF-8 form is at most 3 bytes a byte; most are ASCII and keep their length.
  node.reserve(meta_root_.size() + 2 + ComponentsLength(path) + 16);
  node += meta_root_;
  node += '/';
  node += path.drive;
  const size_t names = node.size();
  for (const std::string& name : path.components) {
    node += '/';
    node += name;
  }
  if (platform::IsAsciiText(node, names)) {
    // An ASCII name is its own host spelling, and stays ASCII when folded.
    platform::UpperTextFrom(path.code_page, &node, names);
    return node;
  }
  node.resize(names);
  for (const std::string& name : path.components) {
    node += '/';
    AppendHostName(path.code_page, platform::UpperText(path.code_page, name), &node);
  }
  return node;
}

SidecarNode MetadataStore::Node(const WindowsPathParts& path) const {
  return SidecarNode{path.components.empty() ? std::string() : NodePath(path)};
}

SidecarNode MetadataStore::Node(const WindowsPathParts& path, const std::string& key) const {
  // "C:\USERS\JO\A.TXT" names "<meta>/C/USERS/JO/A.TXT".
  constexpr size_t kDriveLength = 2;
  if (path.components.empty() || !platform::IsAsciiText(key, kDriveLength)) return Node(path);
  SidecarNode node;
  node.path.reserve(meta_root_.size() + key.size());
  node.path += meta_root_;
  node.path += '/';
  node.path += path.drive;
  const size_t names = node.path.size();
  node.path.append(key, kDriveLength, std::string::npos);
  std::replace(node.path.begin() + static_cast<std::ptrdiff_t>(names), node.path.end(), '\\', '/');
  return node;
}

ObjectMeta MetadataStore::Read(const SidecarNode& at) const {
  ObjectMeta meta;
  if (at.path.empty()) return meta;
  const std::string& node = at.path;
  std::string text;
  if (!FolderExists(ParentOf(node)) || !ReadSidecar(node + kSuffix, &text)) return meta;
  Json doc = Json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (!doc.is_object()) return meta;  // a damaged sidecar counts as defaults
  if (doc.contains("attributes")) meta.attributes = doc["attributes"].get<uint32_t>();
  if (doc.contains("creation")) meta.creation = doc["creation"].get<uint64_t>();
  if (doc.contains("dacl")) meta.dacl = AclFromJson(doc["dacl"]);
  return meta;
}

void MetadataStore::Write(const SidecarNode& node, const ObjectMeta& meta) const {
  if (node.path.empty()) return;
  std::string sidecar = node.path + kSuffix;
  std::lock_guard<std::mutex> lock(write_mutex_);
  const SidecarTreeChange change;
  if (meta.IsDefault()) {
    ::unlink(sidecar.c_str());
    return;
  }
  Json doc = Json::object();
  if (meta.attributes) doc["attributes"] = *meta.attributes;
  if (meta.creation) doc["creation"] = *meta.creation;
  if (meta.dacl) doc["dacl"] = AclToJson(*meta.dacl);
  MakeParents(sidecar);
  std::string temp = sidecar + ".tmp." + std::to_string(::getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << doc.dump();
  }
  std::rename(temp.c_str(), sidecar.c_str());
}

void MetadataStore::Remove(const SidecarNode& at) const {
  if (at.path.empty()) return;
  const std::string& node = at.path;
  std::lock_guard<std::mutex> lock(write_mutex_);
  // Most folders have no sidecars at all: then neither the object's nor its children's exist.
  if (!FolderExists(ParentOf(node))) return;
  const SidecarTreeChange change;
  ::unlink((node + kSuffix).c_str());
  std::error_code ignored;
  std::filesystem::remove_all(node, ignored);
}

void MetadataStore::Move(const WindowsPathParts& from, const WindowsPathParts& to) const {
  if (from.components.empty() || to.components.empty()) return;
  std::string source = NodePath(from);
  std::string target = NodePath(to);
  if (source == target) return;
  std::lock_guard<std::mutex> lock(write_mutex_);
  const SidecarTreeChange change;
  std::error_code ignored;
  std::filesystem::remove_all(target, ignored);
  ::unlink((target + kSuffix).c_str());
  struct stat st;
  if (::stat((source + kSuffix).c_str(), &st) == 0) {
    MakeParents(target);
    std::rename((source + kSuffix).c_str(), (target + kSuffix).c_str());
  }
  if (::stat(source.c_str(), &st) == 0) {
    MakeParents(target);
    std::rename(source.c_str(), target.c_str());
  }
}

platform::WinError MetadataStore::MoveObject(const SidecarNode& from, const SidecarNode& to,
                                             const std::string& host_from,
                                             const std::string& host_to, bool durable) const {
  static std::atomic<uint64_t> counter{0};
  const std::string& source = from.path;
  const std::string& target = to.path;
  bool carries = !source.empty() && !target.empty() && source != target;
  std::string note;
  // Most folders have no sidecars at all; where neither side has one, the rename is the whole
  // move and needs no note to finish after a kill.
  const bool source_may_have = carries && FolderExists(ParentOf(source));
  const bool had_sidecar = source_may_have && Exists(source + kSuffix);
  const bool had_children = source_may_have && Exists(source);
  carries =
      had_sidecar || had_children ||
      (carries && FolderExists(ParentOf(target)) && (Exists(target + kSuffix) || Exists(target)));
  // Only a move that carries sidecars changes the sidecar tree.
  std::optional<SidecarTreeChange> change;
  if (carries) {
    change.emplace();
    Json intent = {{"pid", ::getpid()},           {"host_from", host_from},
                   {"host_to", host_to},          {"node_from", source},
                   {"node_to", target},           {"had_sidecar", had_sidecar},
                   {"had_children", had_children}};
    std::string folder = meta_root_ + "/" + kMovesFolder;
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    note = folder + "/" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".json";
    std::string temp = note + ".tmp";
    {
      std::ofstream out(temp, std::ios::binary | std::ios::trunc);
      out << intent.dump();
    }
    std::rename(temp.c_str(), note.c_str());
  }
  if (std::rename(host_from.c_str(), host_to.c_str()) != 0) {
    int error = errno;
    if (!note.empty()) ::unlink(note.c_str());
    return WinErrorFromErrno(error);
  }
  if (durable) {
    SyncFolder(ParentOf(host_to));
    if (ParentOf(host_from) != ParentOf(host_to)) SyncFolder(ParentOf(host_from));
  }
  if (carries) {
    std::lock_guard<std::mutex> lock(write_mutex_);
    FinishMetadataMove(source, target, had_sidecar, had_children);
    ::unlink(note.c_str());
  }
  return platform::kSuccess;
}

void MetadataStore::RecoverMoves() const {
  std::string folder = meta_root_ + "/" + kMovesFolder;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  std::vector<std::string> notes;
  while (dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name.size() > 5 && name.compare(name.size() - 5, 5, ".json") == 0) notes.push_back(name);
  }
  ::closedir(dir);
  std::lock_guard<std::mutex> lock(write_mutex_);
  const SidecarTreeChange change;
  for (const std::string& name : notes) {
    std::string note = folder + "/" + name;
    Json intent = Json::parse(std::ifstream(note), nullptr, /*allow_exceptions=*/false);
    if (!intent.is_object()) {
      ::unlink(note.c_str());
      continue;
    }
    // A move still under way in a living process is that process's to finish.
    pid_t pid = intent.value("pid", 0);
    if (pid == ::getpid() || (pid > 0 && (::kill(pid, 0) == 0 || errno != ESRCH))) continue;
    std::string host_from = intent.value("host_from", std::string());
    std::string host_to = intent.value("host_to", std::string());
    if (!Exists(host_from) && Exists(host_to)) {
      // A note of an older build says nothing of the children: what the target holds stays.
      FinishMetadataMove(intent.value("node_from", std::string()),
                         intent.value("node_to", std::string()), intent.value("had_sidecar", true),
                         intent.value("had_children", true));
    }
    ::unlink(note.c_str());
  }
}

std::set<std::string> MetadataStore::ChildrenWithSidecars(const WindowsPathParts& folder) const {
  std::set<std::string> names;
  const std::string node = NodePath(folder);
  if (!FolderExists(node)) return names;
  DIR* dir = ::opendir(node.c_str());
  if (dir == nullptr) return names;
  const size_t suffix_length = sizeof(kSuffix) - 1;
  while (dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name.size() > suffix_length &&
        name.compare(name.size() - suffix_length, suffix_length, kSuffix) == 0) {
      names.insert(name.substr(0, name.size() - suffix_length));
    }
  }
  ::closedir(dir);
  return names;
}

}  // namespace qdw::sim
