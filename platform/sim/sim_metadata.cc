#include "platform/sim/sim_metadata.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/sim/machine_store.h"
#include "platform/windows_path.h"

namespace qdw::sim {
namespace {

constexpr char kSuffix[] = ".meta";

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

std::string CanonicalPath(const WindowsPathParts& path) {
  std::string key(1, path.drive);
  key += ":";
  if (path.components.empty()) key += "\\";
  for (const std::string& name : path.components) key += "\\" + platform::UpperAnsi(name);
  return key;
}

MetadataStore::MetadataStore(std::string machine_folder)
    : meta_root_(std::move(machine_folder) + "/meta") {}

std::string MetadataStore::NodePath(const WindowsPathParts& path) const {
  std::string node = meta_root_ + "/" + std::string(1, path.drive);
  for (const std::string& name : path.components) node += "/" + platform::UpperAnsi(name);
  return node;
}

ObjectMeta MetadataStore::Read(const WindowsPathParts& path) const {
  ObjectMeta meta;
  if (path.components.empty()) return meta;
  std::ifstream in(NodePath(path) + kSuffix, std::ios::binary);
  if (!in) return meta;
  std::stringstream text;
  text << in.rdbuf();
  Json doc = Json::parse(text.str(), nullptr, /*allow_exceptions=*/false);
  if (!doc.is_object()) return meta;  // a damaged sidecar counts as defaults
  if (doc.contains("attributes")) meta.attributes = doc["attributes"].get<uint32_t>();
  if (doc.contains("creation")) meta.creation = doc["creation"].get<uint64_t>();
  if (doc.contains("dacl")) meta.dacl = AclFromJson(doc["dacl"]);
  return meta;
}

void MetadataStore::Write(const WindowsPathParts& path, const ObjectMeta& meta) const {
  if (path.components.empty()) return;
  std::string sidecar = NodePath(path) + kSuffix;
  std::lock_guard<std::mutex> lock(write_mutex_);
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

void MetadataStore::Remove(const WindowsPathParts& path) const {
  if (path.components.empty()) return;
  std::string node = NodePath(path);
  std::lock_guard<std::mutex> lock(write_mutex_);
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

std::set<std::string> MetadataStore::ChildrenWithSidecars(const WindowsPathParts& folder) const {
  std::set<std::string> names;
  DIR* dir = ::opendir(NodePath(folder).c_str());
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
