// Trees packed by Compress and unpacked by Extract (and by cabextract), single and spanned,
// and cabinets made by gcab read by Extract: the same bytes, names, attributes and times.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "Compressor/compressor.h"
#include "Extractor/extractor.h"
#include "tests/archive/archive_test_machine.h"
#include "tests/archive/external_tools.h"

namespace qdw::testing {
namespace {

constexpr char kSource[] = "C:\\Work\\QDWBackUpTemp";
constexpr char kArchive[] = "C:\\Work\\Out\\Set.qdw";
constexpr char kDestination[] = "C:\\Restore\\Temp";

std::string Content(size_t size, uint32_t seed) {
  std::mt19937 generator(seed);
  std::string bytes(size, '\0');
  // Half text-like, half random: both compressible and incompressible blocks.
  for (size_t i = 0; i < size; ++i) {
    bytes[i] = i % 2000 < 1000 ? static_cast<char>('a' + (i / 7 + seed) % 26)
                               : static_cast<char>(generator() & 0xFF);
  }
  return bytes;
}

class ArchiveRoundTripTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_.MakeFolder("C:\\Work\\Out");
    machine_.MakeFolder(kDestination);
    uint32_t seed = 1;
    for (size_t size : {0, 1, 32767, 32768, 32769, 899999, 900000, 900001}) {
      machine_.PutFile(std::string(kSource) + "\\sizes\\" + std::to_string(size) + ".bin",
                       Content(size, seed++));
    }
    std::string deep = std::string(kSource);
    for (int level = 0; level < 12; ++level) deep += "\\level " + std::to_string(level);
    machine_.PutFile(deep + "\\deep.txt", "deep");
    machine_.PutFile(std::string(kSource) + "\\Caf\xE9 cr\xE8me\\na\xEFve r\xE9sum\xE9.txt",
                     "Latin-1 names");
    machine_.PutFile(std::string(kSource) + "\\empty.txt", "");
  }

  // Extracts the set volume after volume, as the restore does.
  void ExtractSet(const std::string& last_volume) {
    ASSERT_EQ(Extract(kArchive, kDestination), 0);
    if (last_volume.empty()) return;
    int count = std::stoi(last_volume.substr(last_volume.rfind("_add") + 4));
    for (int number = 2; number <= count; ++number) {
      std::string volume = "C:\\Work\\Out\\Set_add" + std::to_string(number) + ".qdw";
      ASSERT_EQ(Extract(volume.c_str(), kDestination), 0) << volume;
    }
  }

  ArchiveTestMachine machine_;
};

TEST_F(ArchiveRoundTripTest, SingleVolumeComesBackByteForByte) {
  char last[QDW_LAST_VOLUME_NAME_SIZE];
  ASSERT_EQ(Compress(kSource, kArchive, last), 0);
  ASSERT_STREQ(last, "");
  ExpectCabextractAccepts(machine_.HostPath(kArchive));
  ExtractSet(last);
  std::map<std::string, std::string> source = machine_.Tree(kSource);
  EXPECT_EQ(machine_.Tree(kDestination), source);
  EXPECT_EQ(CabextractTree(machine_.HostPath(kArchive)).size(), source.size());
}

TEST_F(ArchiveRoundTripTest, SpannedSetComesBackVolumeByVolume) {
  char last[QDW_LAST_VOLUME_NAME_SIZE];
  {
    ScopedEnvironment limit("QDW_CAB_VOLUME_LIMIT", "400000");
    ASSERT_EQ(Compress(kSource, kArchive, last), 0);
  }
  ASSERT_NE(std::string(last), "");
  ExpectCabextractAccepts(machine_.HostPath(kArchive));
  ExtractSet(last);
  EXPECT_EQ(machine_.Tree(kDestination), machine_.Tree(kSource));
}

TEST_F(ArchiveRoundTripTest, AttributesAndTimesComeBackAsStored) {
  std::string file = std::string(kSource) + "\\kept.txt";
  machine_.PutFile(file, "kept");
  machine_.SetLastWrite(file, SampleUtcTime());
  machine_.SetAttributes(file, platform::kAttrReadOnly | platform::kAttrHidden |
                                   platform::kAttrSystem | platform::kAttrArchive);
  // Each file keeps the attributes its folder listed for it, not its neighbour's; they are not
  // looked up again by path.
  std::string plain = std::string(kSource) + "\\plain.txt";
  machine_.PutFile(plain, "plain");
  machine_.SetAttributes(plain, platform::kAttrReadOnly | platform::kAttrArchive);
  machine_.FailAlways("FileSystem.ReadAttributes", plain, platform::kErrorAccessDenied);
  char last[QDW_LAST_VOLUME_NAME_SIZE];
  ASSERT_EQ(Compress(kSource, kArchive, last), 0);
  ExpectCabextractAccepts(machine_.HostPath(kArchive));
  ExtractSet(last);
  std::string target = std::string(kDestination) + "\\kept.txt";
  EXPECT_EQ(machine_.Attributes(target) & 0xFF, 0x27u);
  EXPECT_EQ(machine_.Times(target).last_write, SampleUtcTime());
  EXPECT_EQ(machine_.Attributes(std::string(kDestination) + "\\plain.txt") & 0xFF, 0x21u);
}

TEST_F(ArchiveRoundTripTest, ReadsCabinetsMadeByGcab) {
  std::map<std::string, std::string> expected;
  std::vector<std::string> names;
  for (int i = 0; i < 4; ++i) {
    std::string name = (i % 2 ? "Sub\\g" : "g") + std::to_string(i) + ".bin";
    expected[name] = Content(40000 * i + 5, 100 + i);
    machine_.PutFile("C:\\Gcab\\" + name, expected[name]);
    names.push_back((i % 2 ? "Sub/g" : "g") + std::to_string(i) + ".bin");
  }
  GcabCreate(machine_.HostPath("C:\\Work\\Out\\g.cab"), machine_.HostPath("C:\\Gcab"), names);
  ASSERT_EQ(Extract("C:\\Work\\Out\\g.cab", kDestination), 0);
  EXPECT_EQ(machine_.Tree(kDestination), expected);
}

}  // namespace
}  // namespace qdw::testing
