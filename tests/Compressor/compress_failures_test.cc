// Compress when the cabinet library, the machine or the input fails it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Compressor/compressor.h"
#include "tests/archive/archive_test_machine.h"
#include "tests/archive/external_tools.h"

namespace qdw::testing {
namespace {

constexpr char kSource[] = "C:\\Work\\Src";
constexpr char kArchive[] = "C:\\Out\\B.qdw";

class CompressFailureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_.MakeFolder("C:\\Out");
    machine_.PutFile("C:\\Work\\Src\\a.txt", "some text");
    std::strcpy(last_, "untouched");
  }

  ArchiveTestMachine machine_;
  char last_[QDW_LAST_VOLUME_NAME_SIZE];
};

TEST_F(CompressFailureTest, MissingCabinetLibraryGivesMinusOne) {
  machine_.FailAlways("Libraries.Load", "CABINET", platform::kErrorModNotFound);
  EXPECT_EQ(Compress(kSource, kArchive, last_), -1);
  EXPECT_STREQ(last_, "untouched");
  EXPECT_FALSE(machine_.Exists(kArchive));
}

class MissingEntryTest : public CompressFailureTest,
                         public ::testing::WithParamInterface<const char*> {};

TEST_P(MissingEntryTest, RequiredEntryPointMissingGivesMinusOne) {
  machine_.FailAlways("Libraries.Symbol", std::string("CABINET!") + GetParam(),
                      platform::kErrorProcNotFound);
  EXPECT_EQ(Compress(kSource, kArchive, last_), -1);
  EXPECT_STREQ(last_, "untouched");
  EXPECT_FALSE(machine_.Exists(kArchive));
}

INSTANTIATE_TEST_SUITE_P(EveryRequiredEntry, MissingEntryTest,
                         ::testing::Values("FCICreate", "FCIAddFile", "FCIFlushCabinet",
                                           "FCIDestroy"));

TEST_F(CompressFailureTest, FlushFolderIsLookedUpButNotNeeded) {
  machine_.FailAlways("Libraries.Symbol", "CABINET!FCIFlushFolder", platform::kErrorProcNotFound);
  EXPECT_EQ(Compress(kSource, kArchive, last_), 0);
  ExpectCabextractAccepts(machine_.HostPath(kArchive));
}

TEST_F(CompressFailureTest, NoTemporaryFileGivesFourBeforeTheLibraryStarts) {
  machine_.FailAlways("FileSystem.TempFileName", "*", platform::kErrorAccessDenied);
  EXPECT_EQ(Compress(kSource, kArchive, last_), 4);
  EXPECT_STREQ(last_, "untouched");  // the cabinet context was never created
}

TEST_F(CompressFailureTest, FullDestinationDriveGivesSix) {
  machine_.PutFile("C:\\Work\\Src\\big.bin", std::string(300000, 'b') + "end");
  machine_.MakeFolder("D:\\Out");
  machine_.sim().machine().faults().SetDiskFull('D', 200);
  EXPECT_EQ(Compress(kSource, "D:\\Out\\B.qdw", last_), 6);
  EXPECT_STREQ(last_, "");
}

TEST_F(CompressFailureTest, SourcePathsPastTheLimitEndWithOne) {
  // A file whose full path reaches 260 characters is refused, never cut short.
  machine_.PutFileBeyondLimit(kSource, std::string(240, 'd') + "/file-with-a-longer-name.txt",
                              "deep");
  EXPECT_EQ(Compress(kSource, kArchive, last_), 1);
  EXPECT_STREQ(last_, "");
  EXPECT_FALSE(machine_.Exists(kArchive));
}

TEST_F(CompressFailureTest, FoldersPastTheLimitEndWithOne) {
  machine_.PutFileBeyondLimit(kSource, std::string(250, 'f') + "/x.txt", "x");
  EXPECT_EQ(Compress(kSource, kArchive, last_), 1);
  EXPECT_FALSE(machine_.Exists(kArchive));
}

TEST_F(CompressFailureTest, ArchivePathPastTheLimitGivesSixAndCreatesNothing) {
  std::string folder = "C:\\Out\\" + std::string(250, 'o');
  machine_.MakeFolder(folder);
  EXPECT_EQ(Compress(kSource, (folder + "\\B.qdw").c_str(), last_), 6);
  EXPECT_STREQ(last_, "untouched");
}

TEST_F(CompressFailureTest, TreeWithoutFilesWritesNoCabinet) {
  machine_.MakeFolder("C:\\Work\\Empty\\Sub");
  // The format has no valid cabinet without files: the library refuses to write one.
  EXPECT_NE(Compress("C:\\Work\\Empty", kArchive, last_), 0);
  EXPECT_FALSE(machine_.Exists(kArchive));
}

}  // namespace
}  // namespace qdw::testing
