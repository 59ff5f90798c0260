// The runtime-library file layer the archive libraries hand to the cabinet library.
#include "archive/runtime_files.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "archive/runtime_flags.h"
#include "cabinet/cab_types.h"
#include "tests/archive/archive_test_machine.h"

namespace qdw::archive {
namespace {

using platform::Disposition;

TEST(RuntimeFlagsTest, TranslatesAccessDispositionAndCreationMode) {
  OpenRequest read = TranslateOpenFlags(CAB_O_RDONLY | CAB_O_BINARY | CAB_O_SEQUENTIAL, 0);
  EXPECT_EQ(read.access, platform::kGenericRead);
  EXPECT_EQ(read.disposition, Disposition::kOpenExisting);
  EXPECT_TRUE(read.flags_and_attributes & platform::kFlagSequentialScan);
  EXPECT_EQ(read.share, platform::kShareRead | platform::kShareWrite);

  OpenRequest target = TranslateOpenFlags(CAB_O_WRONLY | CAB_O_CREAT | CAB_O_TRUNC | CAB_O_BINARY,
                                          CAB_S_IREAD | CAB_S_IWRITE);
  EXPECT_EQ(target.access, platform::kGenericWrite);
  EXPECT_EQ(target.disposition, Disposition::kCreateAlways);
  EXPECT_EQ(target.flags_and_attributes, platform::kAttrNormal);

  OpenRequest staging = TranslateOpenFlags(CAB_O_RDWR | CAB_O_CREAT | CAB_O_EXCL, CAB_S_IWRITE);
  EXPECT_EQ(staging.access, platform::kGenericRead | platform::kGenericWrite);
  EXPECT_EQ(staging.disposition, Disposition::kCreateNew);

  EXPECT_EQ(TranslateOpenFlags(CAB_O_WRONLY | CAB_O_CREAT, 0).disposition,
            Disposition::kOpenAlways);
  EXPECT_EQ(TranslateOpenFlags(CAB_O_WRONLY | CAB_O_TRUNC, 0).disposition,
            Disposition::kTruncateExisting);
  // Created without write permission: the runtime makes the file read-only.
  EXPECT_EQ(TranslateOpenFlags(CAB_O_WRONLY | CAB_O_CREAT, CAB_S_IREAD).flags_and_attributes,
            platform::kAttrReadOnly);
  EXPECT_TRUE(TranslateOpenFlags(CAB_O_WRONLY | CAB_O_APPEND, 0).append);
}

class RuntimeFilesTest : public ::testing::Test {
 protected:
  void TearDown() override { files_.CloseAll(); }

  qdw::testing::ArchiveTestMachine machine_;
  RuntimeFiles& files_ = RuntimeFiles::Instance();
};

TEST_F(RuntimeFilesTest, WritesSeeksAndReadsThroughSmallHandles) {
  machine_.MakeFolder("C:\\Work");
  int error = 0;
  intptr_t handle = files_.Open("C:\\Work\\a.bin", CAB_O_RDWR | CAB_O_CREAT | CAB_O_EXCL,
                                CAB_S_IREAD | CAB_S_IWRITE, &error);
  ASSERT_GT(handle, 2);
  EXPECT_EQ(files_.Write(handle, "hello world", 11, &error), 11u);
  EXPECT_EQ(files_.Seek(handle, 6, CAB_SEEK_SET, &error), 6);
  char buffer[16] = {};
  EXPECT_EQ(files_.Read(handle, buffer, sizeof(buffer), &error), 5u);
  EXPECT_EQ(std::string(buffer, 5), "world");
  EXPECT_EQ(files_.Read(handle, buffer, sizeof(buffer), &error), 0u);  // end of file
  EXPECT_EQ(files_.Seek(handle, 0, CAB_SEEK_END, &error), 11);
  EXPECT_EQ(files_.Close(handle, &error), 0);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(machine_.ReadFile("C:\\Work\\a.bin"), "hello world");

  // A closed handle is refused and its slot is handed out again.
  EXPECT_EQ(files_.Close(handle, &error), -1);
  EXPECT_EQ(error, kErrnoBadHandle);
  EXPECT_EQ(files_.Read(handle, buffer, 1, &error), RuntimeFiles::kFailedCount);
  intptr_t again = files_.Open("C:\\Work\\a.bin", CAB_O_RDONLY, 0, nullptr);
  EXPECT_EQ(again, handle);
}

TEST_F(RuntimeFilesTest, ReportsFailuresWithRuntimeErrorNumbers) {
  machine_.PutFile("C:\\Work\\ro.txt", "x");
  machine_.SetAttributes("C:\\Work\\ro.txt", platform::kAttrReadOnly);
  int error = 0;
  EXPECT_EQ(files_.Open("C:\\Work\\missing.txt", CAB_O_RDONLY, 0, &error), -1);
  EXPECT_EQ(error, kErrnoNoEntry);
  EXPECT_EQ(files_.Open("C:\\Work\\ro.txt", CAB_O_WRONLY | CAB_O_TRUNC, 0, &error), -1);
  EXPECT_EQ(error, kErrnoAccess);
  EXPECT_EQ(files_.Open("C:\\Work\\ro.txt", CAB_O_RDWR | CAB_O_CREAT | CAB_O_EXCL, 0, &error), -1);
  EXPECT_EQ(error, kErrnoExists);
  EXPECT_EQ(files_.Remove("C:\\Work\\missing.txt", &error), -1);
  EXPECT_EQ(error, kErrnoNoEntry);
  // Paths past the 260-character limit are refused before reaching the file system.
  std::string long_path = "C:\\Work\\" + std::string(260, 'a');
  EXPECT_EQ(files_.Open(long_path.c_str(), CAB_O_RDONLY, 0, &error), -1);
  EXPECT_EQ(files_.Open(nullptr, CAB_O_RDONLY, 0, nullptr), -1);
}

TEST_F(RuntimeFilesTest, AdoptedFilesAreReadAndClosedLikeOpenedOnes) {
  machine_.PutFile("C:\\Work\\kept.txt", "adopted");
  std::unique_ptr<platform::File> file;
  ASSERT_EQ(machine_.platform().files().Open("C:\\Work\\kept.txt", platform::kGenericRead,
                                             platform::kShareRead, Disposition::kOpenExisting,
                                             platform::kAttrNormal, &file),
            platform::kSuccess);
  int error = 0;
  intptr_t handle = files_.Adopt(std::move(file), &error);
  ASSERT_GT(handle, 2);
  char buffer[16] = {};
  EXPECT_EQ(files_.Read(handle, buffer, sizeof(buffer), &error), 7u);
  EXPECT_EQ(std::string(buffer, 7), "adopted");
  EXPECT_EQ(files_.Close(handle, &error), 0);
  EXPECT_EQ(files_.OpenCount(), 0u);
  EXPECT_EQ(files_.Adopt(nullptr, &error), -1);
  EXPECT_EQ(error, kErrnoBadHandle);
}

TEST_F(RuntimeFilesTest, CloseAllReleasesWhatAFailedCallLeftOpen) {
  machine_.PutFile("C:\\Work\\left.txt", "x");
  ASSERT_NE(files_.Open("C:\\Work\\left.txt", CAB_O_RDONLY, 0, nullptr), -1);
  ASSERT_NE(files_.Open("C:\\Work\\left.txt", CAB_O_RDONLY, 0, nullptr), -1);
  EXPECT_EQ(files_.OpenCount(), 2u);
  files_.CloseAll();
  EXPECT_EQ(files_.OpenCount(), 0u);
  EXPECT_EQ(files_.Remove("C:\\Work\\left.txt", nullptr), 0);
}

}  // namespace
}  // namespace qdw::archive
