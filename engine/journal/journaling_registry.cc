// The registry of a run: keys created, values set or deleted and keys removed are journaled
// with what was there before.
#include <memory>

#include "engine/journal/journaling_platform.h"
#include "platform/windows_path.h"

namespace qdw::journal {
namespace {

using platform::Hive;
using platform::kSuccess;
using platform::RegistryKey;
using platform::WinError;

// Values are read whole: nothing the tool writes comes near this.
constexpr uint32_t kValueBufferSize = 1 << 20;

// The value `name` of `hive`\`key` as it is now: empty when there is none.
WinError ReadOldValue(platform::Registry& registry, Hive hive, const std::string& key,
                      const std::string& name, std::vector<RegistryValue>* old) {
  old->clear();
  std::unique_ptr<RegistryKey> reader;
  WinError error = registry.OpenKey(hive, key, platform::kKeyRead, &reader);
  if (error != kSuccess) return error;
  RegistryValue value;
  value.name = name;
  error = reader->QueryValue(name, kValueBufferSize, &value.type, &value.data);
  if (error == platform::kErrorFileNotFound) return kSuccess;
  if (error != kSuccess) return error;
  old->push_back(std::move(value));
  return kSuccess;
}

class JournalingKey : public RegistryKey {
 public:
  JournalingKey(platform::Registry& registry, RunJournal& journal, Hive hive, std::string path,
                std::unique_ptr<RegistryKey> key)
      : registry_(registry),
        journal_(journal),
        hive_(hive),
        path_(std::move(path)),
        key_(std::move(key)) {}

  WinError EnumSubKey(uint32_t index, std::string* name) override {
    return key_->EnumSubKey(index, name);
  }
  WinError EnumValue(uint32_t index, std::string* name) override {
    return key_->EnumValue(index, name);
  }
  WinError QueryValue(const std::string& name, uint32_t buffer_size, uint32_t* type,
                      std::vector<uint8_t>* data) override {
    return key_->QueryValue(name, buffer_size, type, data);
  }

  WinError SetValue(const std::string& name, uint32_t type,
                    const std::vector<uint8_t>& data) override {
    if (journal_.IsOpen()) {
      std::vector<RegistryValue> old;
      if (WinError error = ReadOldValue(registry_, hive_, path_, name, &old)) return error;
      if (!journal_.Record(ValueSetRecord(hive_, path_, name, old))) return kJournalNotWritten;
    }
    return key_->SetValue(name, type, data);
  }

  WinError DeleteValue(const std::string& name) override {
    if (journal_.IsOpen()) {
      std::vector<RegistryValue> old;
      if (WinError error = ReadOldValue(registry_, hive_, path_, name, &old)) return error;
      if (!old.empty() && !journal_.Record(ValueSetRecord(hive_, path_, name, old))) {
        return kJournalNotWritten;
      }
    }
    return key_->DeleteValue(name);
  }

  WinError DeleteSubKey(const std::string& name) override {
    if (journal_.IsOpen()) {
      if (WinError error = RecordRemoval(path_ + "\\" + name)) return error;
    }
    return key_->DeleteSubKey(name);
  }

 private:
  // The key about to go, with every value it holds. A key with subkeys is refused by the
  // deletion itself, so it needs no record.
  WinError RecordRemoval(const std::string& child) {
    std::unique_ptr<RegistryKey> reader;
    WinError error = registry_.OpenKey(hive_, child, platform::kKeyRead, &reader);
    if (error == platform::kErrorFileNotFound) return kSuccess;
    if (error != kSuccess) return error;
    std::string subkey;
    error = reader->EnumSubKey(0, &subkey);
    if (error == kSuccess) return kSuccess;
    if (error != platform::kErrorNoMoreItems) return error;
    std::vector<RegistryValue> values;
    for (uint32_t index = 0;; ++index) {
      RegistryValue value;
      error = reader->EnumValue(index, &value.name);
      if (error == platform::kErrorNoMoreItems) break;
      if (error != kSuccess) return error;
      error = reader->QueryValue(value.name, kValueBufferSize, &value.type, &value.data);
      if (error != kSuccess) return error;
      values.push_back(std::move(value));
    }
    return journal_.Record(KeyRemovedRecord(hive_, child, values)) ? kSuccess : kJournalNotWritten;
  }

  platform::Registry& registry_;
  RunJournal& journal_;
  Hive hive_;
  std::string path_;
  std::unique_ptr<RegistryKey> key_;
};

class JournalingRegistry : public platform::Registry {
 public:
  JournalingRegistry(platform::Registry& registry, RunJournal& journal)
      : registry_(registry), journal_(journal) {}

  WinError OpenKey(Hive hive, const std::string& path, uint32_t access,
                   std::unique_ptr<RegistryKey>* out) override {
    std::unique_ptr<RegistryKey> key;
    const WinError error = registry_.OpenKey(hive, path, access, &key);
    if (error == kSuccess) Wrap(hive, path, std::move(key), out);
    return error;
  }

  WinError CreateKey(Hive hive, const std::string& path, uint32_t access,
                     std::unique_ptr<RegistryKey>* out, bool* created) override {
    if (journal_.IsOpen()) {
      if (WinError error = RecordMissingLevels(hive, path)) return error;
    }
    std::unique_ptr<RegistryKey> key;
    const WinError error = registry_.CreateKey(hive, path, access, &key, created);
    if (error == kSuccess) Wrap(hive, path, std::move(key), out);
    return error;
  }

 private:
  void Wrap(Hive hive, const std::string& path, std::unique_ptr<RegistryKey> key,
            std::unique_ptr<RegistryKey>* out) {
    *out = std::make_unique<JournalingKey>(registry_, journal_, hive, path, std::move(key));
  }

  // Each level of `path` the creation will make, outermost first, so that the undo removes
  // them innermost first.
  WinError RecordMissingLevels(Hive hive, const std::string& path) {
    std::vector<std::string> missing;
    std::string level = platform::StripTrailingSeparator(path);
    while (!level.empty()) {
      std::unique_ptr<RegistryKey> probe;
      const WinError error = registry_.OpenKey(hive, level, platform::kKeyRead, &probe);
      if (error == kSuccess) break;
      if (error != platform::kErrorFileNotFound) return error;
      missing.push_back(level);
      const size_t slash = platform::FindLastSeparator(level);
      level = slash == std::string::npos ? std::string() : level.substr(0, slash);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
      if (!journal_.Record(KeyCreatedRecord(hive, *it))) return kJournalNotWritten;
    }
    return kSuccess;
  }

  platform::Registry& registry_;
  RunJournal& journal_;
};

}  // namespace

std::unique_ptr<platform::Registry> NewJournalingRegistry(platform::Registry& registry,
                                                          RunJournal& journal) {
  return std::make_unique<JournalingRegistry>(registry, journal);
}

}  // namespace qdw::journal
