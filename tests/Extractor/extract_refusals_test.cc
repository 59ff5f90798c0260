// Extract refusing what it must not do: names that leave the destination, paths past the
// limit, files it cannot put in place, and a cabinet library that is missing or incomplete.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "Extractor/extractor.h"
#include "tests/archive/archive_test_machine.h"
#include "tests/archive/stored_cabinet.h"

namespace qdw::testing {
namespace {

constexpr char kDestination[] = "C:\\Restore\\Temp";
constexpr char kCabinet[] = "C:\\Restore\\B.qdw";

class ExtractRefusalTest : public ::testing::Test {
 protected:
  void SetUp() override { machine_.MakeFolder(kDestination); }
  void PutCabinet(const std::vector<StoredEntry>& entries) {
    machine_.PutFile(kCabinet, BuildStoredCabinet(entries));
  }
  // Every file named `name` anywhere on drive C.
  int CountOnDriveC(const std::string& name) {
    int found = 0;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(machine_.HostPath("C:\\"))) {
      found += entry.path().filename() == name ? 1 : 0;
    }
    return found;
  }

  ArchiveTestMachine machine_;
};

class HostileNameTest : public ExtractRefusalTest,
                        public ::testing::WithParamInterface<const char*> {};

TEST_P(HostileNameTest, NameLeavingTheDestinationFailsTheVolume) {
  PutCabinet({{"first.txt", "first"}, {GetParam(), "evil"}, {"after.txt", "after"}});
  EXPECT_EQ(Extract(kCabinet, kDestination), 4);  // "Corrupt cabinet."
  EXPECT_EQ(CountOnDriveC("evil.txt"), 0);
  // Files before the refused one stay for the caller to remove; nothing after it is written.
  EXPECT_TRUE(machine_.Exists(std::string(kDestination) + "\\first.txt"));
  EXPECT_FALSE(machine_.Exists(std::string(kDestination) + "\\after.txt"));
}

INSTANTIATE_TEST_SUITE_P(Names, HostileNameTest,
                         ::testing::Values("..\\evil.txt", "A\\..\\..\\evil.txt", "\\evil.txt",
                                           "/evil.txt", "C:\\evil.txt", "C:evil.txt",
                                           "A\\..\\evil.txt", "..\\",
                                           // Names Windows would not keep as they are.
                                           "CON\\evil.txt", "A\\nul.txt\\evil.txt", "lpt1.txt",
                                           "A.\\evil.txt", "A \\evil.txt", "A\\ev|l.txt"));

// 0x95 0x5C is one character (表) on a Japanese machine, so the stored name is folder 表 and
// file x.txt; on a Western machine the same bytes hold an empty component and are refused.
TEST_F(ExtractRefusalTest, TrailByteBackslashBelongsToItsCharacterOnAJapaneseMachine) {
  PutCabinet({{"\x95\x5C\\x.txt", "kanji"}, {"\x8F\x5C\x94\x5C.txt", "skill"}});
  EXPECT_EQ(Extract(kCabinet, kDestination), 4);
  machine_.sim().machine().store().Update("machine.json", [](sim::Json& description) {
    description["code_page"] = 932;
    return true;
  });
  EXPECT_EQ(Extract(kCabinet, kDestination), 0);
  // The host names are the UTF-8 form of 表\x.txt and 十能.txt.
  EXPECT_EQ(machine_.Tree(kDestination),
            (std::map<std::string, std::string>{{u8"\u8868\\x.txt", "kanji"},
                                                {u8"\u5341\u80fd.txt", "skill"}}));
}

TEST_F(ExtractRefusalTest, TargetPathPastTheLimitFailsWithEight) {
  std::string destination = "C:\\Restore\\" + std::string(200, 'd');
  machine_.MakeFolder(destination);
  PutCabinet({{"A\\" + std::string(70, 'n') + ".txt", "long"}});
  EXPECT_EQ(Extract(kCabinet, destination.c_str()), 8);
  EXPECT_TRUE(machine_.Tree(destination).empty());
}

TEST_F(ExtractRefusalTest, DestinationPastTheLimitIsNoFolder) {
  std::string destination = "C:\\" + std::string(300, 'd');
  PutCabinet({{"a.txt", "a"}});
  EXPECT_EQ(Extract(kCabinet, destination.c_str()), 8);
}

TEST_F(ExtractRefusalTest, FolderThatCannotBeMadeFailsWithEight) {
  // A file stands where the folder "A" belongs: the file cannot be put in place, and the call
  // says so instead of succeeding without it.
  machine_.PutFile(std::string(kDestination) + "\\A", "a file, not a folder");
  PutCabinet({{"A\\x.txt", "x"}});
  EXPECT_EQ(Extract(kCabinet, kDestination), 8);
  EXPECT_EQ(machine_.ReadFile(std::string(kDestination) + "\\A"), "a file, not a folder");
}

TEST_F(ExtractRefusalTest, TargetHeldByAnotherProgramAbandonsTheCopy) {
  std::string target = std::string(kDestination) + "\\held.txt";
  machine_.PutFile(target, "held");
  machine_.HoldWithoutSharing(target);
  PutCabinet({{"held.txt", "new"}});
  EXPECT_EQ(Extract(kCabinet, kDestination), 11);  // the cabinet library's code for -1
  EXPECT_EQ(machine_.ReadFile(target), "held");
}

TEST_F(ExtractRefusalTest, MissingCabinetLibraryGivesMinusOne) {
  PutCabinet({{"a.txt", "a"}});
  machine_.FailAlways("Libraries.Load", "CABINET", platform::kErrorModNotFound);
  EXPECT_EQ(Extract(kCabinet, kDestination), -1);
  EXPECT_TRUE(machine_.Tree(kDestination).empty());
}

class MissingReaderEntryTest : public ExtractRefusalTest,
                               public ::testing::WithParamInterface<const char*> {};

TEST_P(MissingReaderEntryTest, EntryPointMissingGivesMinusOne) {
  PutCabinet({{"a.txt", "a"}});
  machine_.FailAlways("Libraries.Symbol", std::string("CABINET!") + GetParam(),
                      platform::kErrorProcNotFound);
  EXPECT_EQ(Extract(kCabinet, kDestination), -1);
  EXPECT_TRUE(machine_.Tree(kDestination).empty());
}

INSTANTIATE_TEST_SUITE_P(EveryEntry, MissingReaderEntryTest,
                         ::testing::Values("FDICreate", "FDICopy", "FDIIsCabinet", "FDIDestroy"));

}  // namespace
}  // namespace qdw::testing
