#include "tests/engine/common/engine_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "database/product_schema.h"
#include "settings/product_settings.h"

namespace qdw::testing {

using engine::PromptAnswer;
using engine::PromptButtons;

PromptAnswer ScriptedPrompts::Answer(PromptButtons buttons) {
  if (buttons == PromptButtons::kOk) return PromptAnswer::kOk;
  if (answers.empty()) return PromptAnswer::kYes;
  PromptAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

PromptAnswer ScriptedPrompts::ShowMessage(int message_id, PromptButtons buttons,
                                          engine::PromptIcon) {
  shown.push_back(message_id);
  texts.push_back(LoadText(message_id));
  return Answer(buttons);
}

PromptAnswer ScriptedPrompts::ShowText(const std::string& text, int message_id,
                                       PromptButtons buttons, engine::PromptIcon) {
  shown.push_back(message_id);
  texts.push_back(text);
  return Answer(buttons);
}

int ScriptedPrompts::CustomMessageBox(int message_id, int, int) {
  shown.push_back(message_id);
  texts.push_back(LoadText(message_id));
  return custom_box_answer;
}

void RecordingProgress::Begin(const engine::ProgressStep& step, uint64_t total) {
  EXPECT_TRUE(phases.empty() || phases.back().finished)
      << "phase " << static_cast<int>(step.phase) << " began before the last one finished";
  Phase begun;
  begun.phase = step.phase;
  begun.total = total;
  phases.push_back(begun);
  phases.back().shown.push_back(step);
}

void RecordingProgress::Show(const engine::ProgressStep& step) {
  ASSERT_FALSE(phases.empty());
  phases.back().shown.push_back(step);
}

void RecordingProgress::Advance(uint64_t done) {
  ASSERT_FALSE(phases.empty());
  Phase& current = phases.back();
  EXPECT_FALSE(current.finished);
  EXPECT_GE(done, current.last) << "phase " << static_cast<int>(current.phase) << " went back";
  if (current.total > 0) {
    EXPECT_LE(done, current.total) << "phase " << static_cast<int>(current.phase);
  }
  current.last = done;
  ++current.advances;
}

void RecordingProgress::Finish() {
  ASSERT_FALSE(phases.empty());
  phases.back().finished = true;
}

std::vector<engine::ProgressPhase> RecordingProgress::Order() const {
  std::vector<engine::ProgressPhase> order;
  for (const Phase& phase : phases) order.push_back(phase.phase);
  return order;
}

const RecordingProgress::Phase& RecordingProgress::Of(engine::ProgressPhase phase) const {
  for (const Phase& candidate : phases) {
    if (candidate.phase == phase) return candidate;
  }
  ADD_FAILURE() << "no phase " << static_cast<int>(phase);
  static const Phase none;
  return none;
}

int FakePacker::Pack(const std::string& source_folder, const std::string& archive_path,
                     std::string* last_volume_name) {
  ++calls;
  packed_files.clear();
  packed_content.clear();
  Collect(source_folder, "");
  last_volume_name->clear();
  if (result != 0) return result;

  const std::string folder = archive_path.substr(0, archive_path.rfind('\\'));
  std::string base = archive_path.substr(folder.size() + 1);
  base = base.substr(0, base.size() - 4);  // without ".qdw"
  for (int i = 1; i <= volumes; ++i) {
    const std::string name = i == 1 ? base + ".qdw" : base + "_add" + std::to_string(i) + ".qdw";
    std::unique_ptr<platform::File> file;
    if (files_.Open(folder + "\\" + name, platform::kGenericWrite, platform::kShareNone,
                    platform::Disposition::kCreateAlways, platform::kAttrNormal,
                    &file) != platform::kSuccess) {
      return 6;
    }
    const std::string content = "volume " + std::to_string(i);
    uint32_t written = 0;
    file->Write(content.data(), static_cast<uint32_t>(content.size()), &written);
    if (i > 1) *last_volume_name = name;
  }
  return 0;
}

void FakePacker::Collect(const std::string& root, const std::string& relative) {
  std::vector<platform::DirEntry> entries;
  const std::string folder = relative.empty() ? root : root + "\\" + relative;
  if (files_.Find(folder + "\\*.*", &entries) != platform::kSuccess) return;
  for (const auto& entry : entries) {
    if (entry.name == "." || entry.name == "..") continue;
    const std::string path = relative.empty() ? entry.name : relative + "\\" + entry.name;
    if (entry.attributes & platform::kAttrDirectory) {
      Collect(root, path);
      continue;
    }
    packed_files.push_back(path);
    std::unique_ptr<platform::File> file;
    std::string content;
    if (files_.Open(root + "\\" + path, platform::kGenericRead, platform::kShareRead,
                    platform::Disposition::kOpenExisting, platform::kAttrNormal,
                    &file) == platform::kSuccess) {
      char buffer[4096];
      uint32_t read = 0;
      while (file->Read(buffer, sizeof buffer, &read) == platform::kSuccess && read > 0) {
        content.append(buffer, read);
      }
    }
    packed_content[path] = content;
  }
}

std::map<std::string, std::string> SnapshotTree(const std::string& host_folder) {
  std::map<std::string, std::string> files;
  std::error_code error;
  for (auto it = std::filesystem::recursive_directory_iterator(host_folder, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    const auto relative = std::filesystem::relative(it->path(), host_folder).string();
    if (it->is_directory()) {
      files[relative + "/"] = "";
      continue;
    }
    std::ifstream in(it->path(), std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    files[relative] = content.str();
  }
  return files;
}

ProductMachine::ProductMachine(const sim::Json& patch, bool hand_made_files) : machine_(patch) {
  auto& registry = platform().registry();
  std::unique_ptr<platform::RegistryKey> key;
  EXPECT_EQ(
      registry.CreateKey(platform::Hive::kCurrentUser, std::string(settings::kProductKey) + "\\QDW",
                         platform::kKeyWrite, &key, nullptr),
      platform::kSuccess);
  std::string repository = kRepository;
  std::vector<uint8_t> data(repository.begin(), repository.end());
  data.push_back(0);
  EXPECT_EQ(key->SetValue("Repository Path", platform::kRegSz, data), platform::kSuccess);
  key.reset();
  // The product's machine key; only an administrator may make it.
  if (machine_.machine().CurrentUser().admin) {
    EXPECT_EQ(registry.CreateKey(platform::Hive::kLocalMachine, settings::kWritableProductKey,
                                 platform::kKeyWrite, &key, nullptr),
              platform::kSuccess);
  }
  // The tool's data folder, which start-up makes.
  std::filesystem::create_directories(
      machine_.HostPath("C:\\ProgramData\\VARNOLD\\Quillon Deskora Backup Tool"));
  if (!hand_made_files) return;

  const std::string qdw = std::string(kProduct) + "\\QDW";
  machine_.PutFile(qdw + "\\Quillon Deskora\\Inbox\\inv1.pdf", "pdf of inv1");
  machine_.PutFile(qdw + "\\Quillon Deskora\\Inbox\\inv1.docx", "original of inv1");
  machine_.PutFile(qdw + "\\Quillon Deskora\\Inbox\\inv1.xml", "<inv1/>");
  machine_.PutFile(qdw + "\\Settings\\printer.ico", "icon");
  std::filesystem::create_directories(machine_.HostPath(qdw + "\\Quillon Deskora\\Empty"));
  std::filesystem::create_directories(machine_.HostPath(qdw + "\\DataBase"));
  machine_.PutFile(std::string(kProduct) + "\\QDWie\\cache.dat", "ie cache");
}

void ProductMachine::SetSharedFolders(const std::vector<std::string>& names,
                                      const std::vector<std::string>& paths) {
  settings::ProductSettings settings(platform());
  ASSERT_TRUE(settings.WriteUserSharedFolders(names, paths));
}

void ProductMachine::AllowSettingsWrite() {
  std::unique_ptr<platform::RegistryKey> key;
  ASSERT_EQ(
      platform().registry().CreateKey(platform::Hive::kLocalMachine, settings::kCommonSettingsKey,
                                      platform::kKeyWrite, &key, nullptr),
      platform::kSuccess);
}

void ProductMachine::Share(const std::string& name, const std::string& path,
                           const std::string& remark, uint8_t ace_type, uint32_t mask,
                           const std::string& sid) {
  platform::ShareInfo share;
  share.name = name;
  share.path = path;
  share.remark = remark;
  share.max_uses = -1;
  platform::SecurityDescriptor descriptor;
  descriptor.dacl_present = true;
  platform::Ace ace;
  ace.type = ace_type;
  ace.mask = mask;
  ASSERT_TRUE(platform::Sid::Parse(sid, &ace.sid));
  descriptor.dacl.entries.push_back(ace);
  share.security = descriptor;
  ASSERT_EQ(platform().shares().Add(share), platform::kSuccess) << name;
}

void ProductMachine::Lock(const std::string& path) {
  locks_.push_back(path);
  sim::Json locks = sim::Json::array();
  for (const std::string& locked : locks_) locks.push_back({{"path", locked}, {"share", 0}});
  machine_.machine().store().Write("locks.json", {{"locks", locks}});
}

::testing::AssertionResult ProductMachine::CreateDatabase() {
  std::string error;
  if (database::CreateProductDatabase(files(), platform().databases(),
                                      std::string(kProduct) + "\\QDW\\DataBase\\VNDATABASE.mdb",
                                      &error)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << error;
}

std::map<std::string, std::string> ProductMachine::ProductSnapshot() {
  return SnapshotTree(machine_.HostPath(kProduct));
}

}  // namespace qdw::testing
