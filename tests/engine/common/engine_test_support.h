// Shared pieces of the backup engine tests: a scripted user, a packer that writes stand-in
// volumes, and a stand-in machine with the product installed.
#ifndef QDW_TESTS_ENGINE_BACKUP_BACKUP_TEST_SUPPORT_H_
#define QDW_TESTS_ENGINE_BACKUP_BACKUP_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "engine/backup/archive_packer.h"
#include "engine/common/engine_errors.h"
#include "engine/common/progress.h"
#include "engine/common/prompts.h"
#include "platform/platform.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::testing {

// Answers questions from a queue (Yes, then OK, when it runs dry) and records every message.
class ScriptedPrompts : public engine::Prompts {
 public:
  std::string LoadText(int string_id) override { return "<" + std::to_string(string_id) + ">"; }
  engine::PromptAnswer ShowMessage(int message_id, engine::PromptButtons buttons,
                                   engine::PromptIcon icon) override;
  engine::PromptAnswer ShowText(const std::string& text, int message_id,
                                engine::PromptButtons buttons, engine::PromptIcon icon) override;
  int CustomMessageBox(int message_id, int ok_text_id, int cancel_text_id) override;
  bool OpenFailureList() override {
    ++failure_list_opened;
    return true;
  }

  std::deque<engine::PromptAnswer> answers;
  int custom_box_answer = engine::kCustomBoxCancel;
  std::vector<int> shown;  // message ids in the order shown
  std::vector<std::string> texts;
  int failure_list_opened = 0;

 private:
  engine::PromptAnswer Answer(engine::PromptButtons buttons);
};

// The result code a step raised as engine::ResultCodeError, or -1 when it returned.
template <typename Step>
int RaisedResultCode(Step&& step) {
  try {
    step();
  } catch (const engine::ResultCodeError& error) {
    return error.code();
  }
  return -1;
}

// Records what the engines report and checks as it goes that each phase's measure only grows
// and never passes its total, and that every phase is finished before the next begins.
class RecordingProgress : public engine::Progress {
 public:
  struct Phase {
    engine::ProgressPhase phase = engine::ProgressPhase::kStopServices;
    uint64_t total = 0;
    uint64_t last = 0;  // the last measure reported
    int advances = 0;
    bool finished = false;
    std::vector<engine::ProgressStep> shown;  // the step it began with, then each Show
  };

  void Begin(const engine::ProgressStep& step, uint64_t total) override;
  void Show(const engine::ProgressStep& step) override;
  void Advance(uint64_t done) override;
  void Finish() override;

  // The phases in the order they began.
  std::vector<engine::ProgressPhase> Order() const;
  // The first phase `phase`; fails the test when there is none.
  const Phase& Of(engine::ProgressPhase phase) const;

  std::vector<Phase> phases;
};

// Writes `volumes` stand-in volumes named as the archive writer names them, after noting the
// files of the folder it was given.
class FakePacker : public backup::ArchivePacker {
 public:
  explicit FakePacker(platform::FileSystem& files) : files_(files) {}
  int Pack(const std::string& source_folder, const std::string& archive_path,
           std::string* last_volume_name) override;

  int volumes = 1;
  int result = 0;
  int calls = 0;
  // Relative paths ("VARNOLD\QDW\a.pdf") of the files in the packed folder.
  std::vector<std::string> packed_files;
  std::map<std::string, std::string> packed_content;

 private:
  void Collect(const std::string& root, const std::string& relative);
  platform::FileSystem& files_;
};

// File contents below a host folder by relative path, for "nothing changed" checks.
std::map<std::string, std::string> SnapshotTree(const std::string& host_folder);

// A stand-in machine with the product's settings: repository C:\Users\jo\Documents, the
// machine key of the product, and a small repository.
class ProductMachine {
 public:
  static constexpr const char* kRepository = "C:\\Users\\jo\\Documents";
  static constexpr const char* kProduct = "C:\\Users\\jo\\Documents\\VARNOLD";

  // `hand_made_files` puts a small repository in place; without it the product folder is
  // left to the test (for example a generated sample repository).
  explicit ProductMachine(const sim::Json& patch = sim::Json::object(),
                          bool hand_made_files = true);

  SimTestMachine& machine() { return machine_; }
  platform::Platform& platform() { return machine_.platform(); }
  platform::FileSystem& files() { return machine_.platform().files(); }
  const sim::FaultInjector& faults() { return machine_.machine().faults(); }

  // The product's registered shared folders of the current user.
  void SetSharedFolders(const std::vector<std::string>& names,
                        const std::vector<std::string>& paths);
  // An empty product database where the product keeps it; the failure names the cause.
  ::testing::AssertionResult CreateDatabase();
  // Lets the user write the product's machine-wide settings (administrators).
  void AllowSettingsWrite();
  // Shares `path` as `name` with one access entry for `sid`.
  void Share(const std::string& name, const std::string& path, const std::string& remark,
             uint8_t ace_type, uint32_t mask, const std::string& sid = "S-1-1-0");
  // Another program holds `path` open without sharing.
  void Lock(const std::string& path);
  // The live product folder's files.
  std::map<std::string, std::string> ProductSnapshot();

 private:
  SimTestMachine machine_;
  std::vector<std::string> locks_;
};

}  // namespace qdw::testing

#endif  // QDW_TESTS_ENGINE_BACKUP_BACKUP_TEST_SUPPORT_H_
