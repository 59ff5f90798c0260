// Round trips through our writer and every reader, over generated trees.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include "tests/cabinet/external_check.h"
#include "tests/cabinet/set_check.h"
#include "tests/cabinet/test_tree.h"

namespace qdw::cab::testing {
namespace {

TEST(CabinetRoundTripTest, FileSizesAroundBlockAndFolderBoundaries) {
  ScratchDir dir;
  std::string root = dir.Sub("src");
  const size_t sizes[] = {0, 1, 32767, 32768, 32769, 65536, 899999, 900000, 900001, 0, 100};
  uint32_t seed = 1;
  for (size_t size : sizes) {
    Content kind = seed % 3 == 0 ? Content::kRandom : Content::kText;
    WriteFileBytes(root + "f" + std::to_string(seed) + ".dat", MakeContent(kind, size, seed));
    ++seed;
  }
  PackResult result = PackAndCheck(root, dir.path());
  EXPECT_EQ(result.volumes.size(), 1u);
}

TEST(CabinetRoundTripTest, DeepFoldersBlanksAndLatin1Names) {
  ScratchDir dir;
  std::string root = dir.Sub("src");
  std::string deep;
  for (int level = 0; level < 12; ++level) deep += "level " + std::to_string(level) + "/";
  WriteFileBytes(root + deep + "bottom file.txt", MakeContent(Content::kText, 5000, 3));
  WriteFileBytes(root + "caf\xE9 cr\xE8me/r\xE9sum\xE9 \xC4\xD6\xDC.txt",
                 MakeContent(Content::kText, 40000, 4));
  WriteFileBytes(root + "with  two blanks .txt", "x");
  WriteFileBytes(root + "empty dir file/empty.txt", "");
  PackAndCheck(root, dir.path());
}

TEST(CabinetRoundTripTest, AttributesAndTimesComeBackAsStored) {
  ScratchDir dir;
  std::string root = dir.Sub("src");
  PackOptions options;
  const unsigned short attributes[] = {0x20, 0x21, 0x03, 0x04, 0x27, 0x00};
  struct utimbuf when = {};
  when.modtime = when.actime = 1262347322;  // 2010-01-01 around noon
  for (int i = 0; i < 6; ++i) {
    std::string path = root + "file" + std::to_string(i) + ".txt";
    WriteFileBytes(path, MakeContent(Content::kText, 1000 * i, i));
    when.modtime += 3600 * 24 * 33 + 61;
    utime(path.c_str(), &when);
    options.attributes[path] = attributes[i];
  }
  std::string out = dir.Sub("out");
  PackResult packed = PackTree(root, out, options);
  ASSERT_TRUE(packed.ok);
  std::vector<ExtractedFile> copied = ExtractSet(packed.volumes, dir.Sub("back"));
  ASSERT_EQ(copied.size(), 6u);
  for (const ExtractedFile& file : copied) {
    std::string path = root + file.name;
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    unsigned short date = 0;
    unsigned short time = 0;
    DosDateTime(info.st_mtime, &date, &time);
    EXPECT_EQ(file.date, date) << file.name;
    EXPECT_EQ(file.time, time) << file.name;
    EXPECT_EQ(file.attribs, options.attributes[path]) << file.name;
  }
}

TEST(CabinetRoundTripTest, SmallFolderThresholdMakesManyFolders) {
  ScratchDir dir;
  std::string root = dir.Sub("src");
  for (int i = 0; i < 40; ++i) {
    WriteFileBytes(root + "d" + std::to_string(i % 4) + "/f" + std::to_string(i),
                   MakeContent(i % 5 ? Content::kText : Content::kRandom, 20000 + 997 * i, i));
  }
  PackOptions options;
  options.folder_threshold = 50000;
  PackAndCheck(root, dir.path(), options);
  std::string dump;
  // The checker prints one line per folder.
  if (!CabdumpPath().empty()) {
    RunCommand(std::string(QDW_TEST_PYTHON3) + " " + Quote(CabdumpPath()) + " " +
                   Quote(dir.path() + "out/Set.qdw"),
               &dump);
    EXPECT_NE(dump.find("folder 10:"), std::string::npos) << dump;
  }
}

TEST(CabinetRoundTripTest, StoredWithoutCompression) {
  ScratchDir dir;
  std::string root = dir.Sub("src");
  WriteFileBytes(root + "a.txt", MakeContent(Content::kText, 100000, 9));
  WriteFileBytes(root + "b.bin", MakeContent(Content::kRandom, 33000, 10));
  PackOptions options;
  options.compression = tcompTYPE_NONE;
  PackAndCheck(root, dir.path(), options);
}

TEST(CabinetRoundTripTest, OnlyEmptyFiles) {
  ScratchDir dir;
  std::string root = dir.Sub("src");
  WriteFileBytes(root + "a", "");
  WriteFileBytes(root + "b/c", "");
  PackAndCheck(root, dir.path());
}

// Cabinets written by gcab (independent MSZIP blocks, or stored) come back byte for byte.
TEST(CabinetRoundTripTest, ReadsCabinetsMadeByGcab) {
  ScratchDir dir;
  std::string root = dir.Sub("src");
  WriteFileBytes(root + "a.txt", MakeContent(Content::kText, 150000, 11));
  WriteFileBytes(root + "sub/b.bin", MakeContent(Content::kRandom, 70000, 12));
  WriteFileBytes(root + "sub/deeper/c.txt", MakeContent(Content::kText, 32768, 13));
  WriteFileBytes(root + "sub/empty.txt", "");
  for (const char* flags : {"-c -z", "-c"}) {
    std::string cab = dir.path() + "gcab.cab";
    std::string output;
    ASSERT_EQ(RunCommand("cd " + Quote(root) + " && gcab " + flags + " " + Quote(cab) +
                             " a.txt sub/b.bin sub/deeper/c.txt sub/empty.txt",
                         &output),
              0)
        << output;
    ScratchDir back;
    ExtractResult result = ExtractVolume(cab, back.path());
    ASSERT_TRUE(result.ok) << flags << ": FDI error " << result.erf.erfOper;
    EXPECT_EQ(result.copied.size(), 4u);
    EXPECT_EQ(SnapshotTree(back.path()), SnapshotTree(root)) << flags;
  }
}

}  // namespace
}  // namespace qdw::cab::testing
