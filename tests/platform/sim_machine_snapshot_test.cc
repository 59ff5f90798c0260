// A machine snapshot sees one change of every kind a user could observe, and nothing of what
// only the machine or the tool's log keep.
#include <gtest/gtest.h>

#include <memory>

#include "platform/sim/machine_snapshot.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::testing {
namespace {

using platform::Disposition;
using platform::kSuccess;

class SimMachineSnapshotTest : public ::testing::Test {
 protected:
  platform::Platform& port() { return machine_.platform(); }
  sim::MachineSnapshot Snapshot() { return sim::TakeSnapshot(machine_.machine()); }

  void Write(const std::string& path, const std::string& content) {
    std::unique_ptr<platform::File> file;
    ASSERT_EQ(port().files().Open(path, platform::kGenericWrite, 0, Disposition::kCreateAlways,
                                  platform::kAttrNormal, &file),
              kSuccess)
        << path;
    uint32_t written = 0;
    ASSERT_EQ(file->Write(content.data(), static_cast<uint32_t>(content.size()), &written),
              kSuccess);
  }

  void SetText(const std::string& key, const std::string& name, const std::string& text) {
    std::unique_ptr<platform::RegistryKey> handle;
    ASSERT_EQ(port().registry().CreateKey(platform::Hive::kLocalMachine, key, platform::kKeyWrite,
                                          &handle, nullptr),
              kSuccess);
    std::vector<uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    ASSERT_EQ(handle->SetValue(name, platform::kRegSz, data), kSuccess);
  }

  void AddShare(const std::string& remark) {
    platform::ShareInfo share;
    share.name = "Docs";
    share.path = "C:\\Data\\Docs";
    share.remark = remark;
    share.security = platform::SecurityDescriptor{true, {}};
    share.security->dacl.entries.push_back(
        {platform::kAceAccessAllowed, 0, platform::kMaskRead, platform::Sid::World()});
    ASSERT_EQ(port().shares().Add(share), kSuccess);
  }

  SimTestMachine machine_;
};

TEST_F(SimMachineSnapshotTest, SeesOneChangeOfEachKindAndNothingElse) {
  platform::FileSystem& fs = port().files();
  for (const char* folder :
       {"C:\\Data", "C:\\Data\\Docs", "C:\\Data\\Empty", "C:\\ProgramData",
        "C:\\ProgramData\\VARNOLD", "C:\\ProgramData\\VARNOLD\\Quillon Deskora Backup Tool"}) {
    ASSERT_EQ(fs.MakeFolder(folder), kSuccess) << folder;
  }
  Write("C:\\Data\\Docs\\a.txt", "alpha");
  Write("C:\\Data\\Docs\\b.txt", "bravo");
  Write("C:\\Data\\Docs\\Case.txt", "case");
  Write("C:\\Data\\Docs\\VNDATABASE.mdb", "db");
  Write("C:\\ProgramData\\VARNOLD\\Quillon Deskora Backup Tool\\BackupLog.txt", "log 1");
  SetText("SOFTWARE\\VARNOLD", "Display_Version", "2.5");
  AddShare("Team");
  machine_.machine().store().Write("services.json", {{"Spooler", {{"state", "running"}}}});

  const sim::MachineSnapshot before = Snapshot();
  EXPECT_EQ(Snapshot(), before) << "a snapshot is stable";
  EXPECT_EQ(sim::ParseSnapshot(before.Text()), before) << "its text reads back";

  // What the snapshot must not see: the tool's log, a database journal, a mere read.
  Write("C:\\ProgramData\\VARNOLD\\Quillon Deskora Backup Tool\\BackupLog.txt", "log 2");
  Write("C:\\Data\\Docs\\VNDATABASE.mdb-journal", "journal");
  uint32_t attributes = 0;
  ASSERT_EQ(fs.ReadAttributes("C:\\Data\\Docs\\a.txt", &attributes), kSuccess);
  EXPECT_EQ(sim::DescribeDifferences(before, Snapshot()), "");

  // One change of each kind.
  Write("C:\\Data\\Docs\\a.txt", "ALPHA");  // same size, other bytes
  ASSERT_EQ(fs.WriteAttributes("C:\\Data\\Docs\\b.txt", platform::kAttrHidden), kSuccess);
  ASSERT_EQ(fs.Move("C:\\Data\\Docs\\Case.txt", "C:\\Data\\Docs\\CASE.txt"), kSuccess);
  ASSERT_EQ(fs.RemoveFolder("C:\\Data\\Empty"), kSuccess);
  Write("C:\\Data\\new.txt", "");
  platform::Acl dacl;
  dacl.entries.push_back(
      {platform::kAceAccessAllowed, 0, platform::kMaskFullControl, platform::Sid::World()});
  ASSERT_EQ(fs.WriteDacl("C:\\Data\\Docs", dacl), kSuccess);
  ASSERT_EQ(port().shares().Delete("Docs"), kSuccess);
  AddShare("Team, scans");
  SetText("SOFTWARE\\VARNOLD", "Display_Version", "2.6");
  SetText("SOFTWARE\\VARNOLD\\New", "Count", "1");
  machine_.machine().store().Write("services.json", {{"Spooler", {{"state", "stopped"}}}});

  const std::string differences = sim::DescribeDifferences(before, Snapshot());
  for (const char* expected :
       {"~ file C:\\DATA\\DOCS\\A.TXT\n    was name=\"a.txt\" size=5 sha256=",
        "~ file C:\\DATA\\DOCS\\B.TXT\n", "attributes=0x2 ",
        "~ file C:\\DATA\\DOCS\\CASE.TXT\n    was name=\"Case.txt\"", "now name=\"CASE.txt\"",
        "- folder C:\\DATA\\EMPTY name=\"Empty\" attributes=0x10 dacl=inherited\n",
        "+ file C:\\DATA\\NEW.TXT name=\"new.txt\" size=0 sha256=e3b0c44298fc1c149afbf4c8996fb924",
        "~ folder C:\\DATA\\DOCS\n", "dacl=[allow 0x1F01FF flags=0x00 S-1-1-0]", "~ share DOCS\n",
        "remark=\"Team, scans\"",
        "~ value HKEY_LOCAL_MACHINE\\SOFTWARE\\VARNOLD \"DISPLAY_VERSION\"\n", "data=\"2.6\"",
        "+ key HKEY_LOCAL_MACHINE\\SOFTWARE\\VARNOLD\\NEW name=\"New\"\n",
        "+ value HKEY_LOCAL_MACHINE\\SOFTWARE\\VARNOLD\\NEW \"COUNT\" name=\"Count\" type=1",
        "~ service SPOOLER\n", "now name=\"Spooler\" state=stopped"}) {
    EXPECT_NE(differences.find(expected), std::string::npos) << expected << "\nin\n" << differences;
  }
  EXPECT_EQ(differences.find("BACKUPLOG"), std::string::npos) << differences;
  EXPECT_EQ(differences.find("JOURNAL"), std::string::npos) << differences;
}

}  // namespace
}  // namespace qdw::testing
