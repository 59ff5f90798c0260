// Share records an archive could carry to make a restore replace, share and open to everybody
// a folder of the system: each is refused with 212 and listed, before anything changes. So is
// every existing outside folder when the user's registered shared folders cannot be read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/backup/compress_packer.h"
#include "engine/backup_restore.h"
#include "engine/common/archive_names.h"
#include "platform/sim/machine_snapshot.h"
#include "platform/windows_path.h"
#include "tests/engine/common/engine_test_support.h"

namespace qdw::restore {
namespace {

using testing::ProductMachine;

constexpr char kScans[] = "C:\\Users\\jo\\Desktop\\Scans";

class HostileShareRecordsTest : public ::testing::Test {
 protected:
  HostileShareRecordsTest()
      : product_(sim::Json{{"environment",
                            {{"ProgramFiles", "C:\\Program Files (x86)"},
                             {"ProgramW6432", "C:\\Program Files"},
                             {"ProgramFiles(x86)", "C:\\Program Files (x86)"}}}}) {}

  void SetUp() override {
    product_.machine().MakeDefault();
    product_.AllowSettingsWrite();
    ASSERT_TRUE(product_.CreateDatabase());
    ASSERT_EQ(product_.files().MakeFolder("D:\\Backups"), platform::kSuccess);
    product_.machine().PutFile(std::string(kScans) + "\\scan.txt", "scan");
    for (const char* folder : {"C:\\Windows\\system32\\drivers", "C:\\Program Files\\Tool",
                               "C:\\Program Files (x86)\\Tool"}) {
      product_.machine().PutFile(std::string(folder) + "\\keep.txt", "system");
    }
    product_.machine().PutFile("C:\\ProgramData\\VARNOLD\\Quillon Deskora Backup Tool\\x.txt",
                               "tool data");
    product_.Share("Scans", kScans, "scans", platform::kAceAccessAllowed, platform::kMaskRead);
    product_.SetSharedFolders({"Scans"}, {kScans});
    ASSERT_EQ(engine_.Backup(ProductMachine::kRepository, "D:\\Backups", "Full"), 0);
  }

  // Restores the archive with its share information replaced by `records`, and a folder of
  // each record's name in it, as a backup of those folders would carry them.
  int RestoreWith(const std::vector<std::pair<std::string, std::string>>& records) {
    engine_.set_unpacker([&](const std::string& volume, const std::string& folder) {
      const int unpacked = ExtractVolume(volume, folder);
      std::string text = "WINDOWS NT\n";
      for (const auto& [name, path] : records) {
        text += name + "," + path + "\n";
        product_.machine().PutFile(platform::JoinPath(folder, name) + "\\payload.txt", "payload");
      }
      product_.machine().PutFile(platform::JoinPath(folder, engine::kShareInfoFileName), text);
      return unpacked;
    });
    prompts_.texts.clear();
    return engine_.RestoreFromArchive("D:\\Backups\\Full.qdw", ProductMachine::kRepository, "");
  }

  std::string Listed() const { return prompts_.texts.empty() ? "" : prompts_.texts.back(); }

  ProductMachine product_;
  testing::ScriptedPrompts prompts_;
  backup::CompressPacker packer_;
  engine::CBackupRestore engine_{product_.platform(), prompts_, packer_};
};

TEST_F(HostileShareRecordsTest, SystemFoldersAreRefusedWithNothingChanged) {
  const std::vector<std::pair<std::string, std::string>> hostile = {
      {"Win", "C:\\Windows"},
      {"Evil", "C:\\Windows\\system32\\evil"},
      {"Win2", "c:\\windows\\SYSTEM32\\drivers"},
      {"Prog", "C:\\Program Files\\Tool"},
      {"Prog86", "C:\\Program Files (x86)"},
      {"Holder", "C:\\Program"},  // C:\Program Files is not below it
      {"Root", "D:\\"},
      {"Data", "C:\\ProgramData\\VARNOLD\\Quillon Deskora Backup Tool"},
      {"Above", "C:\\ProgramData"},
      {"Users", "C:\\Users"},  // holds the product folder
  };
  const sim::MachineSnapshot before = sim::TakeSnapshot(product_.machine().machine());
  for (const auto& record : hostile) {
    SCOPED_TRACE(record.first);
    const std::string entry = record.first + "," + record.second;
    const bool harmless = record.first == "Holder";
    EXPECT_EQ(RestoreWith({{"Scans", kScans}, record}), harmless ? 0 : 212);
    if (harmless) break;  // a restore that went through changes the machine; it comes last
    EXPECT_NE(Listed().find(entry), std::string::npos) << Listed();
    EXPECT_EQ(Listed().find("Scans,"), std::string::npos) << Listed();
    EXPECT_EQ(sim::DescribeDifferences(before, sim::TakeSnapshot(product_.machine().machine())),
              "");
  }
  // A folder whose name only begins like a program folder's is none of the system's.
  EXPECT_TRUE(product_.machine().Exists("C:\\Program\\payload.txt"));
}

TEST_F(HostileShareRecordsTest, UnreadableRegisteredFoldersPutEveryOutsideFolderInTheWay) {
  const sim::MachineSnapshot before = sim::TakeSnapshot(product_.machine().machine());
  // The Workstation service is stopped: whose shared folders these are cannot be told.
  product_.faults().AddRule("Shares.WorkstationUser", 1, platform::kErrorAccessDenied, "", 0);
  EXPECT_EQ(RestoreWith({{"Scans", kScans}}), 212);
  EXPECT_NE(Listed().find(kScans), std::string::npos) << Listed();
  product_.faults().Clear();
  EXPECT_EQ(sim::DescribeDifferences(before, sim::TakeSnapshot(product_.machine().machine())), "");

  // Readable again, the same record is the user's own folder and comes back from the archive.
  product_.machine().PutFile(std::string(kScans) + "\\scan.txt", "changed");
  product_.machine().PutFile(std::string(kScans) + "\\late.txt", "after the backup");
  EXPECT_EQ(RestoreWith({{"Scans", kScans}}), 0);
  EXPECT_EQ(product_.machine().ReadFile(std::string(kScans) + "\\scan.txt"), "scan");
  EXPECT_EQ(product_.machine().ReadFile(std::string(kScans) + "\\payload.txt"), "payload");
  EXPECT_FALSE(product_.machine().Exists(std::string(kScans) + "\\late.txt"));
}

}  // namespace
}  // namespace qdw::restore
