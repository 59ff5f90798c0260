// Compress on a stand-in machine: names, volumes, time stamps and results, every set checked
// with cabextract.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <string>

#include "Compressor/compressor.h"
#include "platform/sim/sim_file_system.h"
#include "tests/archive/archive_test_machine.h"
#include "tests/archive/external_tools.h"

namespace qdw::testing {
namespace {

constexpr char kSource[] = "C:\\Work\\QDWBackUpTemp";
constexpr char kOutput[] = "C:\\Work\\QDWBackUpFileTemp\\";
constexpr char kArchive[] = "C:\\Work\\QDWBackUpFileTemp\\B.qdw";

std::string RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 generator(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(generator() & 0xFF);
  return bytes;
}

// The set identifier of a cabinet header (setID, at byte 32).
uint16_t SetIdentifier(const std::string& cabinet) {
  constexpr size_t kSetIdOffset = 32;
  if (cabinet.size() < kSetIdOffset + 2) return 0;
  return static_cast<uint16_t>(static_cast<uint8_t>(cabinet[kSetIdOffset]) |
                               (static_cast<uint8_t>(cabinet[kSetIdOffset + 1]) << 8));
}

class CompressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_.MakeFolder(kOutput);
    std::strcpy(last_, "untouched");
  }
  std::string Source(const std::string& relative) { return std::string(kSource) + "\\" + relative; }

  ArchiveTestMachine machine_;
  char last_[QDW_LAST_VOLUME_NAME_SIZE];
};

TEST_F(CompressTest, MissingOrEmptyArgumentsDoNothing) {
  machine_.PutFile(Source("a.txt"), "a");
  EXPECT_EQ(Compress("", kArchive, last_), -1);
  EXPECT_EQ(Compress(kSource, "", last_), -1);
  EXPECT_EQ(Compress(nullptr, kArchive, last_), -1);
  EXPECT_EQ(Compress(kSource, nullptr, last_), -1);
  EXPECT_STREQ(last_, "untouched");
  EXPECT_FALSE(machine_.Exists(kArchive));
}

TEST_F(CompressTest, MissingSourceFolderGivesOne) {
  EXPECT_EQ(Compress("C:\\Work\\Nowhere", kArchive, last_), 1);
  EXPECT_STREQ(last_, "");  // assigned: the cabinet library had been started
  EXPECT_FALSE(machine_.Exists(kArchive));
}

TEST_F(CompressTest, StoresRelativeNamesAndLeavesEmptyFoldersAndJunctionsOut) {
  machine_.PutFile(Source("A\\B\\x.txt"), "x in A\\B");
  machine_.PutFile(Source("top.txt"), std::string(100000, 't'));
  machine_.PutFile(Source("with blank\\empty file.txt"), "");
  machine_.PutFile(Source("Random.jpg"), RandomBytes(70000, 1));
  machine_.MakeFolder(Source("Empty\\Deeper"));
  // A junction's target is another folder: its files are not the tree's.
  machine_.PutFile("C:\\Outside\\o.txt", "outside");
  ASSERT_EQ(sim::MakeSimJunction(machine_.sim().machine(), Source("A\\Linked"), "C:\\Outside"),
            platform::kSuccess);

  // A trailing "\" on the source folder is optional.
  EXPECT_EQ(Compress((std::string(kSource) + "\\").c_str(), kArchive, last_), 0);
  EXPECT_STREQ(last_, "");
  std::string host = machine_.HostPath(kArchive);
  ExpectCabextractAccepts(host);
  EXPECT_EQ(CabextractTree(host), machine_.Tree(kSource));
  for (const ListedEntry& entry : CabextractList(host)) {
    EXPECT_EQ(entry.name.find("Empty"), std::string::npos) << entry.name;
    EXPECT_EQ(entry.name.find("Linked"), std::string::npos) << entry.name;
  }
}

TEST_F(CompressTest, StoresTheLastWriteTimeAsLocalTime) {
  machine_.PutFile(Source("dated.txt"), "dated");
  machine_.SetLastWrite(Source("dated.txt"), SampleUtcTime());
  ASSERT_EQ(Compress(kSource, kArchive, last_), 0);
  ExpectCabextractAccepts(machine_.HostPath(kArchive));
  std::vector<ListedEntry> entries = CabextractList(machine_.HostPath(kArchive));
  ASSERT_EQ(entries.size(), 1u);
  // 15:09:26 UTC on a machine one hour ahead of UTC.
  EXPECT_EQ(entries[0].date_time, "14.03.2026 16:09:26");
  EXPECT_EQ(entries[0].name, "dated.txt");
}

// The attribute word of every entry of a one-volume cabinet, by stored name.
std::map<std::string, uint16_t> StoredAttributes(const std::string& cabinet) {
  auto u16 = [&](size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(cabinet[at]) |
                                 static_cast<uint8_t>(cabinet[at + 1]) << 8);
  };
  auto u32 = [&](size_t at) { return static_cast<uint32_t>(u16(at) | u16(at + 2) << 16); };
  std::map<std::string, uint16_t> stored;
  size_t at = u32(16);  // coffFiles
  for (uint16_t i = 0, files = u16(28); i < files && at + 16 < cabinet.size(); ++i) {
    std::string name(cabinet.c_str() + at + 16);
    stored[name] = u16(at + 14);
    at += 16 + name.size() + 1;
  }
  return stored;
}

TEST_F(CompressTest, StoresTheListedAttributesMasked) {
  machine_.PutFile(Source("plain.txt"), "plain");
  machine_.PutFile(Source("Sub\\kept.txt"), "kept");
  machine_.SetAttributes(Source("Sub\\kept.txt"), platform::kAttrReadOnly | platform::kAttrHidden |
                                                      platform::kAttrSystem |
                                                      platform::kAttrArchive);
  machine_.SetAttributes(Source("plain.txt"), platform::kAttrNormal);
  ASSERT_EQ(Compress(kSource, kArchive, last_), 0);
  std::map<std::string, uint16_t> stored = StoredAttributes(machine_.ReadFile(kArchive));
  EXPECT_EQ(stored["Sub\\kept.txt"], 0x27);
  EXPECT_EQ(stored["plain.txt"], 0);
  ExpectCabextractAccepts(machine_.HostPath(kArchive));
}

TEST_F(CompressTest, NamesContinuationVolumesAndReportsTheLast) {
  machine_.PutFile(Source("one.bin"), RandomBytes(9000, 2));
  machine_.PutFile(Source("sub\\two.bin"), RandomBytes(9000, 3));
  {
    ScopedEnvironment limit("QDW_CAB_VOLUME_LIMIT", "8192");
    ASSERT_EQ(Compress(kSource, kArchive, last_), 0);
  }
  EXPECT_STREQ(last_, "B_add3.qdw");
  // Every volume of a set carries the set's identifier; another set gets another one, so
  // volumes of two backups under one name are never read as one set.
  const uint16_t set_id = SetIdentifier(machine_.ReadFile(kArchive));
  EXPECT_EQ(SetIdentifier(machine_.ReadFile(std::string(kOutput) + "B_add3.qdw")), set_id);
  EXPECT_TRUE(machine_.Exists(std::string(kOutput) + "B_add2.qdw"));
  EXPECT_TRUE(machine_.Exists(std::string(kOutput) + "B_add3.qdw"));
  EXPECT_FALSE(machine_.Exists(std::string(kOutput) + "B_add4.qdw"));
  std::string host = machine_.HostPath(kArchive);
  ExpectCabextractAccepts(host);
  EXPECT_EQ(CabextractTree(host), machine_.Tree(kSource));

  // The next call in the process makes one volume: the last name comes back empty.
  machine_.PutFile("C:\\Small\\s.txt", "small");
  EXPECT_EQ(Compress("C:\\Small", "C:\\Work\\QDWBackUpFileTemp\\S.qdw", last_), 0);
  EXPECT_STREQ(last_, "");
  ExpectCabextractAccepts(machine_.HostPath("C:\\Work\\QDWBackUpFileTemp\\S.qdw"));
  ASSERT_EQ(Compress(kSource, "C:\\Work\\QDWBackUpFileTemp\\T.qdw", last_), 0);
  const uint16_t others[] = {
      SetIdentifier(machine_.ReadFile("C:\\Work\\QDWBackUpFileTemp\\S.qdw")),
      SetIdentifier(machine_.ReadFile("C:\\Work\\QDWBackUpFileTemp\\T.qdw"))};
  EXPECT_FALSE(others[0] == set_id && others[1] == set_id) << "every set had identifier " << set_id;
}

TEST_F(CompressTest, FileHeldWithoutReadSharingEndsWithOne) {
  machine_.PutFile(Source("free.txt"), "free");
  machine_.PutFile(Source("held.pdf"), "held");
  machine_.HoldWithoutSharing(Source("held.pdf"));
  EXPECT_EQ(Compress(kSource, kArchive, last_), 1);
  EXPECT_STREQ(last_, "");
  EXPECT_FALSE(machine_.Exists(kArchive));  // nothing is flushed after a failure
}

TEST(CompressErrorTextTest, TextsOfEveryCode) {
  const char* expected[] = {
      "No error.",
      "Failure opening file to be stored in cabinet.",
      "Failure reading file to be stored in cabinet.",
      "Insufficient memory in FCI.",
      "Could not create a temporary file.",
      "Unknown compression type.",
      "Could not create cabinet file.",
      "Client requested abort.",
      "Failure compressing data.",
  };
  for (int code = 0; code <= 8; ++code) EXPECT_STREQ(GetCompressErrText(code), expected[code]);
  EXPECT_STREQ(GetCompressErrText(9), "Unknown error.");
  EXPECT_STREQ(GetCompressErrText(-1), "Unknown error.");
  EXPECT_STREQ(GetCompressErrText(1000), "Unknown error.");
}

}  // namespace
}  // namespace qdw::testing
