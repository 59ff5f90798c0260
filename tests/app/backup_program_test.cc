// The program `Backup` itself on a stand-in machine, driven by a script file: start-up with the
// real checks, the exit status of a failed script, a second copy while the first waits, and a
// backup and restore with each language's module.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/backup_app.h"
#include "database/sample/sample_repository.h"
#include "platform/resources/pe_resource_image.h"
#include "platform/resources/resource_image_library.h"
#include "settings/product_settings.h"
#include "tests/app/app_test_support.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::testing {
namespace {

class BackupProgramTest : public ::testing::Test {
 protected:
  BackupProgramTest() {
    SetText(platform::Hive::kCurrentUser, "SOFTWARE\\VARNOLD\\Quillon Deskora\\QDW",
            "Repository Path", "C:\\Users\\jo\\Repo");
    SetText(platform::Hive::kLocalMachine, "SOFTWARE\\VARNOLD\\Quillon Deskora", "Display_Version",
            "2.1");
  }

  void SetText(platform::Hive hive, const std::string& key, const std::string& name,
               const std::string& text) {
    std::unique_ptr<platform::RegistryKey> handle;
    ASSERT_EQ(
        machine_.platform().registry().CreateKey(hive, key, platform::kKeyWrite, &handle, nullptr),
        platform::kSuccess);
    std::vector<uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    ASSERT_EQ(handle->SetValue(name, platform::kRegSz, data), platform::kSuccess);
  }

  // Runs the program with `script` (none when null); returns its exit status.
  // With `library_path`, the program looks there first for its libraries (QDW_LIBRARY_PATH).
  int RunProgram(const char* script, const std::string& library_path = "") {
    const std::string base = machine_.folder() + "/run" + std::to_string(++runs_);
    std::string command =
        "QDW_MACHINE='" + machine_.folder() + "' QDW_UI_TRANSCRIPT='" + base + ".transcript' ";
    if (!library_path.empty()) command += "QDW_LIBRARY_PATH='" + library_path + "' ";
    if (script != nullptr) {
      std::ofstream(base + ".script") << script;
      command += "QDW_UI_SCRIPT='" + base + ".script' ";
    } else {
      command += "QDW_UI_SCRIPT= ";
    }
    command += "'" QDW_TEST_BACKUP_PROGRAM "' 2>'" + base + ".stderr'";
    const int status = std::system(command.c_str());
    transcript_ = ReadHostFile(base + ".transcript");
    stderr_ = ReadHostFile(base + ".stderr");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  static std::string ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  SimTestMachine machine_;
  int runs_ = 0;
  std::string transcript_;
  std::string stderr_;
};

TEST_F(BackupProgramTest, StartsWithTheChoiceDialogAndEndsWhenItCloses) {
  EXPECT_EQ(RunProgram("expect dialog 102\nexpect checked 1000\nclose\n"), 0) << stderr_;
  EXPECT_NE(transcript_.find("dialog 102 \"" + ModuleDialogCaption(102) + "\" opened"),
            std::string::npos)
      << transcript_;
  EXPECT_TRUE(machine_.Exists(kDataFolder));
}

TEST_F(BackupProgramTest, RunningProductStopsTheStart) {
  machine_.machine().store().Write("processes.json",
                                   {{"processes", {{{"pid", 4242}, {"name", "QDW.EXE"}}}}});
  EXPECT_EQ(RunProgram("expect message 110\nanswer ok\n"), 0) << stderr_ << transcript_;
}

TEST_F(BackupProgramTest, FailedExpectationEndsWithStatus3AndSaysWhatItSaw) {
  EXPECT_EQ(RunProgram("expect dialog 105\n"), 3);
  EXPECT_NE(stderr_.find("line 1 (expect dialog 105): saw dialog 102"), std::string::npos)
      << stderr_;
  EXPECT_NE(transcript_.find("FAILED: "), std::string::npos);
}

TEST_F(BackupProgramTest, ScriptThatRunsOutEndsWithStatus3) {
  EXPECT_EQ(RunProgram("expect dialog 102\n"), 3);
  EXPECT_NE(stderr_.find("the script ended while dialog 102"), std::string::npos) << stderr_;
  EXPECT_EQ(RunProgram(nullptr), 3);
  EXPECT_NE(stderr_.find("QDW_UI_SCRIPT (not set)"), std::string::npos) << stderr_;
}

TEST_F(BackupProgramTest, SecondCopyWhileTheFirstWaitsShowsMessage107) {
  // The first copy runs here and starts the second while its backup is under way.
  ScriptedUi first_ui("click 1\ntype 1008 D:\\Backup\nclick 1\nclose\n",
                      &machine_.platform().files());
  FakeStartupServices startup;
  FakeRunServices run;
  int second_status = -1;
  run.during_backup = [&](engine::Prompts&) {
    second_status = RunProgram("expect message 107\nanswer ok\n");
  };
  app::CBackupApp first(machine_.platform(), first_ui.host(), startup, run);
  first.InitInstance();
  first_ui.host().Finish();
  EXPECT_EQ(first_ui.failure(), "");
  EXPECT_EQ(second_status, 0) << stderr_ << transcript_;
  EXPECT_NE(transcript_.find("message 107"), std::string::npos);
  EXPECT_EQ(transcript_.find("dialog 102"), std::string::npos);
}

TEST_F(BackupProgramTest, BacksUpAGeneratedInstallationEndToEnd) {
  database::sample::SampleSummary summary;
  std::string error;
  ASSERT_TRUE(database::sample::GenerateSampleRepository(machine_.platform(), "C:\\Users\\jo\\Repo",
                                                         7, 256 << 10, &summary, &error))
      << error;
  machine_.PutFile("D:\\Backup\\readme.txt", "");
  const std::string script =
      "click 1\ntype 1008 D:\\Backup\nclick 1\nexpect text 1033 " + ModuleText(138) + "\nclose\n";
  EXPECT_EQ(RunProgram(script.c_str()), 0) << stderr_ << transcript_;
  EXPECT_TRUE(machine_.Exists("D:\\Backup\\QDWBackup26Dec06.qdw"));
  EXPECT_FALSE(machine_.Exists("D:\\Backup\\QDWBackUpTemp"));
  EXPECT_EQ(machine_.ReadFile(kLogFile), "1,1,D:\\Backup\\QDWBackup26Dec06.qdw,2026/12/06 10:05\n");
}

// What the dialog showed while the work went on: each phase's text (control 1037) with the
// positions its bar (1038) took, in the order the transcript has them.
struct ShownPhase {
  std::string text;
  std::vector<int> positions;
};

std::vector<ShownPhase> PhasesShown(const std::string& transcript) {
  std::vector<ShownPhase> phases;
  std::istringstream lines(transcript);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("text 1037 \"", 0) == 0) {
      phases.push_back({line.substr(11, line.size() - 12), {}});
    } else if (line.rfind("progress 1038 ", 0) == 0 && !phases.empty()) {
      phases.back().positions.push_back(std::stoi(line.substr(14)));
    }
  }
  return phases;
}

// A backup and a restore of a generated installation tell the user what they are doing and how
// far each step has got: every phase's bar only moves forward, each line is a change, every
// phase ends full, and the copy, the packing and the unpacking are seen between empty and full.
TEST_F(BackupProgramTest, BackupAndRestoreShowWhatTheyDoAndHowFarTheyHaveGot) {
  database::sample::SampleSummary summary;
  std::string error;
  ASSERT_TRUE(database::sample::GenerateSampleRepository(machine_.platform(), "C:\\Users\\jo\\Repo",
                                                         11, 512 << 10, &summary, &error))
      << error;
  // The user may write the product's machine-wide settings, so the restore can go through.
  SetText(platform::Hive::kLocalMachine, settings::kWritableProductKey, "", "");
  SetText(platform::Hive::kLocalMachine, settings::kCommonSettingsKey, "", "");
  machine_.PutFile("D:\\Backup\\readme.txt", "");
  // The hold is taken while the work runs, once the bar shows half.
  const std::string backup =
      "click 1\ntype 1008 D:\\Backup\nclick 1\nhold 1038 50 0\n"
      "expect text 1033 " +
      ModuleText(138) + "\nexpect hidden 1038\nexpect enabled 2\nclose\n";
  const std::string restore =
      "click 1001\nclick 1\ntype 1009 D:\\Backup\\QDWBackup26Dec06.qdw\nclick 1\n"
      "expect message 123\nanswer yes\nexpect text 1033 " +
      ModuleText(138) + "\nclose\n";
  const std::string volume = " (" + ModuleText(214) + " 1)";
  const struct {
    const std::string& script;
    std::vector<std::string> texts;
    std::set<std::string> measured;
  } runs[] = {
      {backup,
       {ModuleText(200), ModuleText(201), ModuleText(203), ModuleText(202), ModuleText(204),
        ModuleText(205) + volume, ModuleText(206), ModuleText(213)},
       {ModuleText(201), ModuleText(205) + volume}},
      {restore,
       {ModuleText(200), ModuleText(207), ModuleText(208), ModuleText(209), ModuleText(210),
        ModuleText(211), ModuleText(212), ModuleText(213)},
       {ModuleText(208), ModuleText(210)}},
  };
  std::string backup_transcript;
  for (const auto& run : runs) {
    ASSERT_EQ(RunProgram(run.script.c_str()), 0) << stderr_ << transcript_;
    if (backup_transcript.empty()) backup_transcript = transcript_;
    const std::vector<ShownPhase> phases = PhasesShown(transcript_);
    std::vector<std::string> texts;
    for (const ShownPhase& phase : phases) {
      SCOPED_TRACE(phase.text);
      texts.push_back(phase.text);
      ASSERT_FALSE(phase.positions.empty());
      EXPECT_EQ(phase.positions.front(), 0);
      EXPECT_EQ(phase.positions.back(), 100);
      for (size_t i = 1; i < phase.positions.size(); ++i) {
        EXPECT_LT(phase.positions[i - 1], phase.positions[i]) << "at line " << i;
      }
      if (run.measured.count(phase.text)) {
        EXPECT_GT(phase.positions.size(), 2u);
      }
    }
    EXPECT_EQ(texts, run.texts) << transcript_;
  }
  const std::string hold = "\n> hold 1038 50 0";
  const size_t held = backup_transcript.find(hold);
  ASSERT_NE(held, std::string::npos);
  const size_t line = backup_transcript.rfind('\n', held - 1) + 1;
  EXPECT_EQ(backup_transcript.compare(line, 14, "progress 1038 "), 0);
  EXPECT_GE(std::stoi(backup_transcript.substr(line + 14)), 50);
  EXPECT_NE(machine_.ReadFile(kLogFile).find("3,1,D:\\Backup\\QDWBackup26Dec06.qdw,"),
            std::string::npos);
}

// Each language's module, put where the program looks first under the name it loads, on a
// machine whose Windows speaks that language: the program starts, backs up and restores with
// every one of them, shared folders and their rights included.
TEST_F(BackupProgramTest, BacksUpAndRestoresWithEveryLanguagesModule) {
  database::sample::SampleOptions options;
  options.seed = 3;
  options.target_bytes = 64 << 10;
  options.outside_share_paths = {"C:\\Users\\jo\\Desktop\\Scans"};
  database::sample::SampleSummary summary;
  std::string error;
  ASSERT_TRUE(database::sample::GenerateSampleRepository(machine_.platform(), "C:\\Users\\jo\\Repo",
                                                         options, &summary, &error))
      << error;
  ASSERT_FALSE(summary.shares.empty());
  // The product's folders are shared and registered as the user's shared folders; the user may
  // write the product's machine-wide settings, so the restore re-creates the shares.
  SetText(platform::Hive::kLocalMachine, settings::kWritableProductKey, "", "");
  SetText(platform::Hive::kLocalMachine, settings::kCommonSettingsKey, "", "");
  std::vector<std::string> names;
  std::vector<std::string> paths;
  for (const auto& share : summary.shares) {
    platform::ShareInfo info;
    info.name = share.name;
    info.path = share.path;
    info.remark = "Quillon Deskora";
    info.max_uses = -1;
    ASSERT_EQ(machine_.platform().shares().Add(info), platform::kSuccess) << share.name;
    names.push_back(share.name);
    paths.push_back(share.path);
  }
  ASSERT_TRUE(settings::ProductSettings(machine_.platform()).WriteUserSharedFolders(names, paths));
  const std::string document = summary.documents.at(0).files.at(0);
  const std::string content = machine_.ReadFile(document);
  const std::map<std::string, std::string> world_groups = {
      {"fr", "Tout le monde"}, {"de", "Jeder"}, {"es", "Todos"}};
  for (const char* language : {"en", "fr", "de", "it", "ja", "es"}) {
    SCOPED_TRACE(language);
    machine_.machine().store().Update("machine.json", [&](sim::Json& description) {
      for (sim::Json& account : description["accounts"]) {
        if (account["sid"] != "S-1-1-0") continue;
        account["name"] = world_groups.count(language) ? world_groups.at(language) : "Everyone";
      }
      return true;
    });
    const std::string folder = machine_.folder() + "/modules_" + language;
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(std::string(QDW_TEST_MODULE_DIR) + "/Lingvault_" + language + ".dll",
                               folder + "/Lingvault.dll");
    EXPECT_EQ(RunProgram("expect dialog 102\nexpect checked 1000\nclose\n", folder), 0)
        << stderr_ << transcript_;
    const std::string destination = std::string("D:\\Backup_") + language;
    machine_.PutFile(destination + "\\readme.txt", "");
    const std::string backup =
        "click 1\ntype 1008 " + destination + "\nclick 1\nexpect shown 1033\nclose\n";
    EXPECT_EQ(RunProgram(backup.c_str(), folder), 0) << stderr_ << transcript_;
    const std::string archive = destination + "\\QDWBackup26Dec06.qdw";
    ASSERT_TRUE(machine_.Exists(archive));
    // The module came from the folder given: the French one shows its own outcome text (read
    // in this build's code page).
    if (std::string(language) == "fr") {
      const resources::ResourceImageLibrary french(
          resources::PeResourceImage::Open(folder + "/Lingvault.dll"));
      const std::string outcome = app::ModuleTexts(&french).Text(138);
      EXPECT_NE(outcome.find("op"), std::string::npos) << outcome;
      EXPECT_NE(transcript_.find(outcome), std::string::npos) << transcript_;
    }

    ASSERT_EQ(machine_.platform().files().Delete(document), platform::kSuccess);
    for (const auto& share : summary.shares) machine_.platform().shares().Delete(share.name);
    const std::string restore = "click 1001\nclick 1\nexpect dialog 105\ntype 1009 " + archive +
                                "\nclick 1\nexpect message 123\nanswer yes\nexpect shown 1033\n"
                                "close\n";
    EXPECT_EQ(RunProgram(restore.c_str(), folder), 0) << stderr_ << transcript_;
    const std::string log = machine_.ReadFile(kLogFile);
    EXPECT_NE(log.find("3,1," + archive + ","), std::string::npos) << log;
    EXPECT_EQ(machine_.ReadFile(document), content);
    for (const auto& share : summary.shares) {
      SCOPED_TRACE(share.name);
      platform::ShareInfo info;
      ASSERT_EQ(machine_.platform().shares().GetInfo(share.name, &info), platform::kSuccess);
      bool present = false;
      platform::Acl dacl;
      ASSERT_EQ(machine_.platform().files().ReadDacl(share.path, &present, &dacl),
                platform::kSuccess);
      ASSERT_EQ(dacl.entries.size(), 1u);
      EXPECT_EQ(dacl.entries[0].sid, platform::Sid::World());
      EXPECT_EQ(dacl.entries[0].mask, platform::kMaskChange);
    }
  }
}

}  // namespace
}  // namespace qdw::testing
