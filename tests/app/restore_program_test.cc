// Backup and restore with the program `Backup` itself, driven by dialog scripts on a machine
// made by qdwsim: a damaged installation comes back as it was at backup time (files, shares
// with their permissions, registry entries, database rows), also from a spanned set, and a set
// with a missing volume is refused or cut short as the user answers.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/headless/transcript.h"
#include "settings/product_settings.h"
#include "lingvault/language_constants.h"
#include "platform/sim/sim_platform.h"
#include "platform/windows_path.h"
#include "tests/app/app_test_support.h"

namespace qdw::testing {
namespace {

namespace fs = std::filesystem;

constexpr char kRepository[] = "C:\\Users\\jo\\QDW Repository";
constexpr char kLog[] = "drives/C/ProgramData/VARNOLD/Quillon Deskora Backup Tool/BackupLog.txt";

std::string ReadHostFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The rows only one of the lists has, for failure messages.
std::string RowDifference(const std::vector<std::string>& expected,
                          const std::vector<std::string>& actual) {
  std::string text;
  for (const std::string& row : expected) {
    if (std::find(actual.begin(), actual.end(), row) == actual.end()) text += "\n- " + row;
  }
  for (const std::string& row : actual) {
    if (std::find(expected.begin(), expected.end(), row) == expected.end()) text += "\n+ " + row;
  }
  return text;
}

// Everything of the installation the restore is to bring back.
struct InstallationState {
  std::map<std::string, std::string> files;  // lower-case relative host path -> bytes
  std::map<std::string, sim::Json> shares;   // by name, without the creator
  std::vector<std::string> registered;       // the user's shared folders, sorted
  std::string repository_setting;
  std::vector<std::string> rows;      // every folder and document row
  std::vector<std::string> printers;  // printer rows, which the restore repairs
};

class RestoreProgramTest : public ::testing::Test {
 protected:
  RestoreProgramTest()
      : machine_(fs::temp_directory_path() /
                 ("qdw-restore-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    fs::remove_all(machine_);
    const std::string command = "'" QDW_QDWSIM_PROGRAM "' init '" + machine_.string() +
                                "' --seed 5 --size 1 >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    NameWorldGroupInBuildLanguage();
    platform_ = sim::OpenSimMachine(machine_.string());
  }
  ~RestoreProgramTest() override {
    platform_.reset();
    fs::remove_all(machine_);
  }

  // The machine speaks the build's language: a French build's restore grants share rights to
  // "Tout le monde", which an English machine does not know.
  void NameWorldGroupInBuildLanguage() {
    const std::map<std::string, std::string> names = {
        {"fr", "Tout le monde"}, {"de", "Jeder"}, {"es", "Todos"}};
    const auto name = names.find(language::kLanguageCode);
    if (name == names.end()) return;
    const fs::path description_path = machine_ / "machine.json";
    sim::Json description = sim::Json::parse(ReadHostFile(description_path));
    // A machine's own entry for the group takes the place of the built-in English one.
    description["accounts"].push_back({{"sid", "S-1-1-0"}, {"name", name->second}, {"domain", ""}});
    std::ofstream(description_path, std::ios::trunc) << description.dump(2);
  }

  // Runs Backup with `script` (and the given environment); returns its exit status.
  int Run(const std::string& script, const std::string& environment = "") {
    const std::string base = machine_.string() + "/run" + std::to_string(++runs_);
    std::ofstream(base + ".script") << script;
    const std::string command = "QDW_MACHINE='" + machine_.string() + "' QDW_UI_SCRIPT='" + base +
                                ".script' QDW_UI_TRANSCRIPT='" + base + ".transcript' " +
                                environment + " '" QDW_TEST_BACKUP_PROGRAM "' 2>'" + base +
                                ".stderr'";
    const int status = std::system(command.c_str());
    transcript_ = ReadHostFile(base + ".transcript") + ReadHostFile(base + ".stderr");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // `middle` answers the engine's messages.
  int BackUp(const std::string& environment = "", const std::string& middle = "") {
    return Run(
        "expect dialog 102\nclick 1\nexpect dialog 105\ntype 1008 D:\\Backups\n"
        "type 1013 Full\nclick 1\n" +
            middle + Outcome(ModuleText(138)),
        environment);
  }
  // Starts a restore of `archive` up to the engine's own questions.
  static std::string StartRestore(const std::string& archive) {
    return "expect dialog 102\nclick 1001\nclick 1\nexpect dialog 105\ntype 1009 " + archive +
           "\nclick 1\nexpect message 123\nanswer yes\n";
  }
  static std::string Outcome(const std::string& text) {
    return "expect text 1033 " + headless::OneLine(text) + "\nclose\n";
  }

  InstallationState State() {
    InstallationState state;
    for (const char* folder : {"QDW Repository", "Desktop", "Shares"}) {
      const fs::path root = machine_ / "drives/C/Users/jo" / folder;
      if (!fs::exists(root)) continue;
      for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        std::string relative = fs::relative(entry.path(), machine_).string();
        // Windows names ignore case; the database is compared by its rows.
        std::transform(relative.begin(), relative.end(), relative.begin(), ::tolower);
        if (relative.size() >= 14 && relative.substr(relative.size() - 14) == "vndatabase.mdb") {
          continue;
        }
        state.files[relative] = ReadHostFile(entry.path());
      }
    }
    sim::Json shares = platform_->machine().store().Read("shares.json");
    for (sim::Json share : shares.value("shares", sim::Json::array())) {
      share.erase("creator");
      share["path"] = platform::UpperAnsi(share.value("path", ""));
      state.shares[share["name"].get<std::string>()] = share;
    }
    settings::ProductSettings settings(*platform_);
    EXPECT_TRUE(settings.ReadUserSharedFolders(&state.registered));
    for (std::string& entry : state.registered) entry = platform::UpperAnsi(entry);
    std::sort(state.registered.begin(), state.registered.end());
    EXPECT_TRUE(settings.ReadUserRepositoryPath(&state.repository_setting));
    // The backup clears the documents' "open" flags by design; every other column counts.
    Rows("SELECT id, parent_folder__id, name, path, shared, share_type FROM qln_folder", &state);
    Rows(
        "SELECT id, folder__id, pdf_name, original_file_name, merged, binder__id, "
        "total_versions FROM qln_file_properties",
        &state);
    Rows("SELECT Icon_Path FROM qln_printer", &state, &state.printers);
    return state;
  }
  void Rows(const std::string& query, InstallationState* state,
            std::vector<std::string>* rows = nullptr) {
    if (rows == nullptr) rows = &state->rows;
    auto connection = platform_->databases().NewConnection();
    ASSERT_TRUE(connection->Open(DatabaseConnect(), false, true, false));
    std::unique_ptr<platform::RecordSet> set;
    ASSERT_TRUE(connection->Query(query + " ORDER BY 1", true, &set)) << connection->LastError();
    while (set->Fetch()) {
      std::string row;
      for (size_t i = 0; i < set->ColumnCount(); ++i) row += set->Value(i).value_or("<null>") + "|";
      // Paths of shared folders may come back in their recorded spelling.
      rows->push_back(platform::UpperAnsi(row));
    }
    connection->Close();
  }
  void Execute(const std::string& statement) {
    auto connection = platform_->databases().NewConnection();
    ASSERT_TRUE(connection->Open(DatabaseConnect(), false, false, false));
    ASSERT_TRUE(connection->Execute(statement)) << statement << connection->LastError();
    connection->Close();
  }
  static std::string DatabaseConnect() {
    return std::string("ODBC;DRIVER={MICROSOFT ACCESS DRIVER (*.mdb)};DSN='';DBQ=") + kRepository +
           "\\VARNOLD\\QDW\\DataBase\\VNDATABASE.mdb";
  }
  std::string Log() { return ReadHostFile(machine_ / kLog); }

  fs::path machine_;
  std::unique_ptr<sim::SimPlatform> platform_;
  int runs_ = 0;
  std::string transcript_;
};

TEST_F(RestoreProgramTest, DamagedInstallationComesBackAsItWasAtBackupTime) {
  const InstallationState at_backup = State();
  ASSERT_GE(at_backup.shares.size(), 3u);
  ASSERT_EQ(BackUp(), 0) << transcript_;
  ASSERT_TRUE(fs::exists(machine_ / "drives/D/Backups/Full.qdw"));

  // Documents deleted, a stray file added.
  int deleted = 0;
  for (const auto& entry : fs::recursive_directory_iterator(
           machine_ / "drives/C/Users/jo/QDW Repository/VARNOLD/QDW")) {
    if (entry.is_regular_file() && entry.path().extension() == ".pdf" && deleted < 3) {
      fs::remove(entry.path());
      ++deleted;
    }
  }
  ASSERT_EQ(deleted, 3);
  std::ofstream(machine_ / "drives/C/Users/jo/QDW Repository/VARNOLD/QDW/stray.txt") << "x";
  // A share of the repository gone, another share open to the world for reading only.
  std::string gone, narrowed;
  for (const auto& [name, share] : at_backup.shares) {
    const bool inside =
        share["path"].get<std::string>().find("QDW REPOSITORY") != std::string::npos;
    if (inside && gone.empty()) {
      gone = name;
    } else if (narrowed.empty()) {
      narrowed = name;
    }
  }
  ASSERT_FALSE(gone.empty());
  ASSERT_EQ(platform_->shares().Delete(gone), platform::kSuccess);
  platform::ShareInfo info;
  ASSERT_EQ(platform_->shares().GetInfo(narrowed, &info), platform::kSuccess);
  ASSERT_EQ(platform_->shares().Delete(narrowed), platform::kSuccess);
  info.security->dacl.entries = {
      {platform::kAceAccessAllowed, 0, platform::kMaskRead, platform::Sid::World()}};
  ASSERT_EQ(platform_->shares().Add(info), platform::kSuccess);
  // The registered folder of the removed share points elsewhere.
  std::unique_ptr<platform::RegistryKey> key;
  ASSERT_EQ(platform_->registry().OpenKey(
                platform::Hive::kLocalMachine,
                "Software\\VARNOLD\\Quillon Deskora\\QDW\\Shared Folders\\WORKSTATION/jo\\" + gone,
                platform::kKeyWrite, &key),
            platform::kSuccess);
  const std::string elsewhere = "C:\\Users\\jo\\Elsewhere";
  std::vector<uint8_t> value(elsewhere.begin(), elsewhere.end());
  value.resize(1024, 0);
  ASSERT_EQ(key->SetValue("Path", platform::kRegSz, value), platform::kSuccess);
  key.reset();
  // A folder renamed and a document row deleted.
  Execute("UPDATE qln_folder SET name='Renamed' WHERE id=(SELECT MIN(id) FROM qln_folder)");
  Execute("DELETE FROM qln_file_properties WHERE id=(SELECT MAX(id) FROM qln_file_properties)");
  const InstallationState damaged = State();
  ASSERT_NE(damaged.files, at_backup.files);
  ASSERT_NE(damaged.shares, at_backup.shares);
  ASSERT_NE(damaged.registered, at_backup.registered);
  ASSERT_NE(damaged.rows, at_backup.rows);

  ASSERT_EQ(Run(StartRestore("D:\\Backups\\Full.qdw") + Outcome(ModuleText(138))), 0)
      << transcript_;
  const InstallationState restored = State();
  EXPECT_EQ(restored.files, at_backup.files);
  EXPECT_EQ(restored.shares, at_backup.shares);
  EXPECT_EQ(restored.registered, at_backup.registered);
  EXPECT_EQ(restored.repository_setting, at_backup.repository_setting);
  EXPECT_TRUE(restored.rows == at_backup.rows) << RowDifference(at_backup.rows, restored.rows);
  // The printers point at icons of the installed product again; the sample's icons lie in the
  // old program folder, which this machine does not have.
  ASSERT_FALSE(restored.printers.empty());
  for (const std::string& printer : restored.printers) {
    const std::string path = printer.substr(0, printer.size() - 1);  // without the "|"
    const std::string icon = path.substr(0, path.find('='));
    uint32_t attributes = 0;
    EXPECT_EQ(platform_->files().ReadAttributes(icon, &attributes), platform::kSuccess) << icon;
  }
  const std::string log = Log();
  EXPECT_NE(log.find("1,1,D:\\Backups\\Full.qdw,"), std::string::npos) << log;
  EXPECT_NE(log.find("3,1,D:\\Backups\\Full.qdw,"), std::string::npos) << log;
  // The services the run stopped run again.
  sim::Json services = platform_->machine().store().Read("services.json");
  EXPECT_EQ(services["VNQLNSharedFolder"]["state"], "running");
  EXPECT_EQ(services["CiSvc"]["state"], "running");
}

TEST_F(RestoreProgramTest, SpannedSetAndItsMissingVolume) {
  const InstallationState at_backup = State();
  ASSERT_EQ(BackUp("QDW_CAB_VOLUME_LIMIT=400000", "expect message 166\nanswer ok\n"), 0)
      << transcript_;
  std::vector<std::string> volumes;
  for (const auto& entry : fs::directory_iterator(machine_ / "drives/D/Backups")) {
    volumes.push_back(entry.path().filename().string());
  }
  std::sort(volumes.begin(), volumes.end());
  ASSERT_GE(volumes.size(), 3u);
  const std::string first = volumes.back();  // Full_bakN.qdw sorts after Full_add*.qdw
  ASSERT_EQ(first.rfind("Full_bak", 0), 0u) << first;
  const std::string archive = "D:\\Backups\\" + first;
  const std::string count = first.substr(8, first.size() - 12);
  const fs::path last = machine_ / "drives/D/Backups" / ("Full_add" + count + ".qdw");
  ASSERT_TRUE(fs::exists(last));

  // Damage, then hide the last volume: No gives the dialog back, nothing logged or changed.
  std::ofstream(machine_ / "drives/C/Users/jo/QDW Repository/VARNOLD/QDW/stray.txt") << "x";
  fs::rename(last, machine_ / "hidden.qdw");
  ASSERT_EQ(Run(StartRestore(archive) +
                "expect message 169\nanswer no\nexpect shown 1009\nexpect shown 1\nclose\n"),
            0)
      << transcript_;
  EXPECT_NE(transcript_.find("D:\\Backups\\Full_add" + count + ".qdw"), std::string::npos)
      << transcript_;
  EXPECT_EQ(Log().find("3,"), std::string::npos);
  // Yes goes on with the first volume alone, which cannot be unpacked by itself: the
  // temporary-folder dialog, cancelled, ends with 134 and the installation untouched.
  const auto damaged_files = State().files;
  ASSERT_EQ(Run(StartRestore(archive) +
                "expect message 169\nanswer yes\nexpect dialog 106\n"
                "click 2\n" +
                Outcome(ModuleText(125) + "\n" + ModuleText(134))),
            0)
      << transcript_;
  EXPECT_EQ(State().files, damaged_files);
  EXPECT_NE(Log().find("3,0," + archive), std::string::npos);

  // With every volume back the whole set restores.
  fs::rename(machine_ / "hidden.qdw", last);
  ASSERT_EQ(Run(StartRestore(archive) + Outcome(ModuleText(138))), 0) << transcript_;
  const InstallationState restored = State();
  EXPECT_EQ(restored.files, at_backup.files);
  EXPECT_TRUE(restored.rows == at_backup.rows) << RowDifference(at_backup.rows, restored.rows);
  EXPECT_EQ(restored.shares, at_backup.shares);
}

}  // namespace
}  // namespace qdw::testing
