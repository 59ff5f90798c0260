// Extract on a stand-in machine: results, folders, replaced targets, attributes and times, and
// volume-by-volume reading of a spanned set.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>

#include "Compressor/compressor.h"
#include "Extractor/extractor.h"
#include "tests/archive/archive_test_machine.h"
#include "tests/archive/external_tools.h"
#include "tests/archive/stored_cabinet.h"

namespace qdw::testing {
namespace {

constexpr char kDestination[] = "C:\\Restore\\VARNOLDBackUpTemp";
constexpr char kCabinet[] = "C:\\Restore\\In\\B.qdw";

std::string RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 generator(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(generator() & 0xFF);
  return bytes;
}

class ExtractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_.MakeFolder(kDestination);
    machine_.MakeFolder("C:\\Restore\\In");
  }
  std::string Target(const std::string& name) { return std::string(kDestination) + "\\" + name; }
  void PutCabinet(const std::vector<StoredEntry>& entries) {
    machine_.PutFile(kCabinet, BuildStoredCabinet(entries));
  }

  ArchiveTestMachine machine_;
};

TEST_F(ExtractTest, ArgumentsAndInputsThatAreNotThere) {
  PutCabinet({{"a.txt", "a"}});
  EXPECT_EQ(Extract("", kDestination), -1);
  EXPECT_EQ(Extract(kCabinet, ""), -1);
  EXPECT_EQ(Extract(nullptr, kDestination), -1);
  EXPECT_EQ(Extract(kCabinet, nullptr), -1);

  EXPECT_EQ(Extract(kCabinet, "C:\\Restore\\Missing"), 8);
  machine_.PutFile("C:\\Restore\\file.txt", "not a folder");
  EXPECT_EQ(Extract(kCabinet, "C:\\Restore\\file.txt"), 8);

  EXPECT_EQ(Extract("C:\\Restore\\In\\Missing.qdw", kDestination), 1);
  machine_.PutFile("C:\\Restore\\In\\text.qdw", "This is a text file, not a cabinet.\r\n");
  EXPECT_EQ(Extract("C:\\Restore\\In\\text.qdw", kDestination), 2);
  EXPECT_TRUE(machine_.Tree(kDestination).empty());
}

TEST_F(ExtractTest, CreatesTheFoldersOfStoredNames) {
  PutCabinet({{"A\\B\\x.txt", "x"}, {"A\\y.txt", "y"}, {"top.txt", "top"}});
  // A trailing "\" on the destination is optional.
  ASSERT_EQ(Extract(kCabinet, (std::string(kDestination) + "\\").c_str()), 0);
  std::map<std::string, std::string> expected = {
      {"A\\B\\x.txt", "x"}, {"A\\y.txt", "y"}, {"top.txt", "top"}};
  EXPECT_EQ(machine_.Tree(kDestination), expected);
}

TEST_F(ExtractTest, ReplacesAReadOnlyTargetWithoutLeavingOldBytes) {
  machine_.PutFile(Target("A\\x.txt"), "old content that is longer than the new one");
  machine_.SetAttributes(Target("A\\x.txt"), platform::kAttrReadOnly);
  PutCabinet({{"A\\x.txt", "new", 0x20}});
  ASSERT_EQ(Extract(kCabinet, kDestination), 0);
  EXPECT_EQ(machine_.ReadFile(Target("A\\x.txt")), "new");
  EXPECT_EQ(machine_.Attributes(Target("A\\x.txt")) & 0x27, 0x20u);
}

TEST_F(ExtractTest, RestoresStoredAttributesAndLocalTimeStamp) {
  StoredEntry entry{"hidden.txt", "hidden and read-only"};
  entry.attributes = 0x23 | 0x40;  // the run-after-extraction bit is not an attribute
  PutCabinet({entry});             // stored 2026-03-14 16:09:26, local time of a machine at UTC+1
  ASSERT_EQ(Extract(kCabinet, kDestination), 0);
  EXPECT_EQ(machine_.Attributes(Target("hidden.txt")) & 0xFF, 0x23u);
  platform::FileTimes times = machine_.Times(Target("hidden.txt"));
  EXPECT_EQ(times.last_write, SampleUtcTime());
  EXPECT_EQ(times.creation, SampleUtcTime());
}

TEST_F(ExtractTest, ReadsASpannedSetVolumeByVolumeWritingEachFileOnce) {
  std::map<std::string, std::string> expected = {{"a.bin", RandomBytes(40000, 11)},
                                                 {"b.bin", RandomBytes(40000, 12)}};
  for (const auto& [name, bytes] : expected) machine_.PutFile("C:\\Work\\Src\\" + name, bytes);
  char last[QDW_LAST_VOLUME_NAME_SIZE];
  {
    ScopedEnvironment limit("QDW_CAB_VOLUME_LIMIT", "30000");
    ASSERT_EQ(Compress("C:\\Work\\Src", kCabinet, last), 0);
  }
  ASSERT_STREQ(last, "B_add3.qdw");
  ExpectCabextractAccepts(machine_.HostPath(kCabinet));

  // Each volume writes the files that begin in it, finishing them from the volumes after it,
  // and skips the remainders of files begun earlier: every file appears exactly once.
  std::map<std::string, int> written;
  for (const char* volume : {"B.qdw", "B_add2.qdw", "B_add3.qdw"}) {
    ASSERT_EQ(Extract((std::string("C:\\Restore\\In\\") + volume).c_str(), kDestination), 0)
        << volume;
    for (const auto& [name, bytes] : machine_.Tree(kDestination)) {
      EXPECT_EQ(bytes, expected[name]) << name << " from " << volume;
      ++written[name];
      machine_.sim().platform().files().Delete(Target(name));
    }
    // a.bin begins the set but is larger than a volume: the first volume finished it.
    if (std::string(volume) == "B.qdw") {
      EXPECT_EQ(written["a.bin"], 1);
    }
  }
  EXPECT_EQ(written, (std::map<std::string, int>{{"a.bin", 1}, {"b.bin", 1}}));
}

std::string SmallName(int i) {
  char name[16];
  std::snprintf(name, sizeof(name), "f%04d.txt", i);
  return std::string("D") + std::to_string(i % 3) + "\\" + name;
}

void CountFiles(void* context, unsigned long long, unsigned long files) {
  *static_cast<unsigned long*>(context) = files;
}

// Many small files, a large one among them, a name stored twice and a read-only file in the
// way: each ends as the one file it would be if written alone, and each is counted.
TEST_F(ExtractTest, ManySmallFilesEndAsTheyWouldOneByOne) {
  std::vector<StoredEntry> entries;
  std::map<std::string, std::string> expected;
  for (int i = 0; i < 1200; ++i) {
    entries.push_back({SmallName(i), "small " + std::to_string(i)});
    if (i % 100 == 7) entries.back().attributes = 0x23;
    if (i == 600) entries.push_back({"big.bin", RandomBytes(100000, 31)});
    if (i == 20) entries.push_back({SmallName(5), "again"});
  }
  for (const StoredEntry& entry : entries) expected[entry.name] = entry.content;
  machine_.PutFile(Target(SmallName(4)), "old bytes in the way");
  machine_.SetAttributes(Target(SmallName(4)), platform::kAttrReadOnly);
  PutCabinet(entries);

  unsigned long counted = 0;
  SetExtractProgress(CountFiles, &counted);
  ASSERT_EQ(Extract(kCabinet, kDestination), 0);
  SetExtractProgress(nullptr, nullptr);
  EXPECT_EQ(counted, entries.size());
  EXPECT_EQ(machine_.Tree(kDestination), expected);
  EXPECT_EQ(machine_.Attributes(Target(SmallName(107))) & 0x27, 0x23u);
  EXPECT_EQ(machine_.Attributes(Target(SmallName(4))) & 0x27, 0x20u);
  EXPECT_EQ(machine_.Times(Target(SmallName(1199))).last_write, SampleUtcTime());
  EXPECT_EQ(machine_.Times(Target(SmallName(1199))).creation, SampleUtcTime());
}

// A file that cannot be created or written ends the volume with the code it would end it with
// alone; the files before it are in place and none after it.
TEST_F(ExtractTest, ASmallFileThatFailsEndsTheVolumeThere) {
  std::vector<StoredEntry> entries;
  for (int i = 0; i < 300; ++i) entries.push_back({SmallName(i), "small " + std::to_string(i)});
  PutCabinet(entries);
  struct Failing {
    const char* operation;
    int at;
    int code;
  };
  for (const Failing& failing :
       {Failing{"File.Write", 150, 8}, Failing{"FileSystem.Open", 200, 11}}) {
    SCOPED_TRACE(failing.operation);
    const std::string destination = std::string(kDestination) + "\\" + failing.operation;
    machine_.MakeFolder(destination);
    machine_.FailAlways(failing.operation, "*" + SmallName(failing.at).substr(3),
                        platform::kErrorDiskFull);
    EXPECT_EQ(Extract(kCabinet, destination.c_str()), failing.code);
    machine_.sim().machine().faults().Clear();
    for (int i = 0; i < 300; ++i) {
      if (i == failing.at) continue;
      EXPECT_EQ(machine_.Exists(destination + "\\" + SmallName(i)), i < failing.at) << i;
    }
  }
}

TEST_F(ExtractTest, MissingNextVolumeFailsAfterOneAttempt) {
  machine_.PutFile("C:\\Work\\Src\\a.bin", RandomBytes(9000, 21));
  machine_.PutFile("C:\\Work\\Src\\b.bin", RandomBytes(9000, 22));
  char last[QDW_LAST_VOLUME_NAME_SIZE];
  {
    ScopedEnvironment limit("QDW_CAB_VOLUME_LIMIT", "8192");
    ASSERT_EQ(Compress("C:\\Work\\Src", kCabinet, last), 0);
  }
  ExpectCabextractAccepts(machine_.HostPath(kCabinet));
  machine_.sim().platform().files().Delete("C:\\Restore\\In\\B_add2.qdw");
  EXPECT_EQ(Extract(kCabinet, kDestination), 1);
}

TEST_F(ExtractTest, CorruptCabinetEndsWithItsCode) {
  machine_.PutFile("C:\\Work\\Src\\a.txt", std::string(50000, 'a'));
  char last[QDW_LAST_VOLUME_NAME_SIZE];
  ASSERT_EQ(Compress("C:\\Work\\Src", kCabinet, last), 0);
  ExpectCabextractAccepts(machine_.HostPath(kCabinet));
  std::string bytes = machine_.ReadFile(kCabinet);
  bytes.resize(bytes.size() / 2);
  machine_.PutFile(kCabinet, bytes);
  int result = Extract(kCabinet, kDestination);
  EXPECT_NE(result, 0);
  EXPECT_STRNE(GetExtractErrText(result), "Unknown error") << result;
}

TEST(ExtractErrorTextTest, TextsOfEveryCode) {
  const char* expected[] = {
      "No error.",
      "Cabinet not found.",
      "Not a cabinet.",
      "Unknown cabinet version",
      "Corrupt cabinet.",
      "Memory allocation failed.",
      "Unknown compression type.",
      "Failure decompressing data.",
      "Failure writing to target file.",
      "Cabinets in set have different RESERVE sizes.",
      "Cabinet returned on fdintNEXT_CABINET is incorrect.",
      "User aborted.",
  };
  for (int code = 0; code <= 11; ++code) EXPECT_STREQ(GetExtractErrText(code), expected[code]);
  EXPECT_STREQ(GetExtractErrText(12), "Unknown error");
  EXPECT_STREQ(GetExtractErrText(-1), "Unknown error");
}

}  // namespace
}  // namespace qdw::testing
