// Batches of copies, deletes and new files: each item's outcome is that of its single call,
// whatever runs at once, and a batch that stops at a failure leaves what comes after it alone.
#include <string>
#include <vector>

#include "tests/platform/file_system_test_fixture.h"

namespace qdw::platform {
namespace {

using BatchEnd = FileSystem::BatchEnd;
using testing::Capability;

// Enough files for a port to share them among threads.
constexpr int kFiles = 40;

std::string Name(int i) { return "f" + std::to_string(100 + i) + ".txt"; }

class FileSystemBatchTest : public FileSystemContractTest {
 protected:
  void SetUp() override {
    for (const char* folder : {"Src", "Dst", "Stop", "New"})
      ASSERT_EQ(fs().MakeFolder(S(folder)), kSuccess);
    for (int i = 0; i < kFiles; ++i) Write(S("Src\\") + Name(i), "file " + std::to_string(i));
  }
  std::vector<FileCopy> CopiesInto(const std::string& folder) {
    std::vector<FileCopy> copies;
    for (int i = 0; i < kFiles; ++i)
      copies.push_back({S("Src\\") + Name(i), S(folder) + "\\" + Name(i)});
    return copies;
  }
  std::vector<NewFile> NewFilesIn(const std::string& folder) {
    std::vector<NewFile> files(kFiles);
    for (int i = 0; i < kFiles; ++i) {
      files[i].path = S(folder) + "\\" + Name(i);
      files[i].data = i == 0 ? "" : "new " + std::to_string(i);
    }
    return files;
  }
  FileTimes TimesOf(const std::string& path) {
    std::unique_ptr<File> file;
    FileTimes times;
    EXPECT_EQ(
        fs().Open(path, kGenericRead, kShareRead, Disposition::kOpenExisting, kAttrNormal, &file),
        kSuccess);
    if (file != nullptr) {
      EXPECT_EQ(file->Times(&times), kSuccess);
    }
    return times;
  }
  // The attributes this suite sets; some machines add the archive attribute to every file.
  uint32_t SetAttributes(const std::string& path) {
    const uint32_t attributes = Attributes(path);
    return attributes == kInvalidAttributes ? attributes
                                            : attributes & (kAttrReadOnly | kAttrHidden);
  }
};

TEST_F(FileSystemBatchTest, EachItemEndsAsItsSingleCallWould) {
  ASSERT_EQ(fs().WriteAttributes(S("Src\\") + Name(3), kAttrHidden), kSuccess);
  Write(S("Dst\\") + Name(7), "old");
  Write(S("Dst\\") + Name(9), "kept");
  ASSERT_EQ(fs().WriteAttributes(S("Dst\\") + Name(9), kAttrReadOnly), kSuccess);
  std::vector<FileCopy> copies = CopiesInto("Dst");
  copies.push_back({S("Src\\missing.txt"), S("Dst\\missing.txt")});

  // Where read-only files take writes (Wine run by root) the read-only target is replaced.
  const bool read_only_holds = port_->LackReason(Capability::kReadOnlyEnforced).empty();
  const auto refused = [&](int i) { return i == 9 && read_only_holds; };

  std::vector<WinError> results;
  fs().CopyFiles(copies, /*fail_if_exists=*/false, BatchEnd::kAll, &results);
  ASSERT_EQ(results.size(), copies.size());
  for (int i = 0; i < kFiles; ++i) {
    EXPECT_EQ(results[i], refused(i) ? kErrorAccessDenied : kSuccess) << i;
    EXPECT_EQ(Read(S("Dst\\") + Name(i)), refused(i) ? "kept" : "file " + std::to_string(i)) << i;
  }
  EXPECT_EQ(results.back(), kErrorFileNotFound);
  EXPECT_EQ(SetAttributes(S("Dst\\") + Name(3)), kAttrHidden);
  ASSERT_EQ(fs().WriteAttributes(S("Dst\\") + Name(9), kAttrReadOnly), kSuccess);

  fs().CopyFiles(CopiesInto("Dst"), /*fail_if_exists=*/true, BatchEnd::kAll, &results);
  ASSERT_EQ(results.size(), static_cast<size_t>(kFiles));
  for (WinError result : results) EXPECT_EQ(result, kErrorFileExists);

  std::vector<std::string> paths;
  for (int i = 0; i < kFiles; ++i) paths.push_back(S("Dst\\") + Name(i));
  paths.push_back(S("Dst\\") + Name(0));  // gone by then
  fs().DeleteFiles(paths, BatchEnd::kAll, &results);
  ASSERT_EQ(results.size(), paths.size());
  for (int i = 0; i < kFiles; ++i) {
    EXPECT_EQ(results[i], i == 9 ? kErrorAccessDenied : kSuccess) << i;
    EXPECT_EQ(SetAttributes(paths[i]), i == 9 ? kAttrReadOnly : kInvalidAttributes) << i;
  }
  EXPECT_EQ(results.back(), kErrorFileNotFound);
}

TEST_F(FileSystemBatchTest, NewFilesGetTheirBytesStampAndAttributesButReplaceNothing) {
  std::vector<NewFile> files = NewFilesIn("New");
  for (NewFile& file : files) {
    file.stamped = true;
    file.stamp = April2003();
  }
  files[3].attributes = kAttrHidden;
  files[5].attributes = kAttrReadOnly;
  files[7].attributes = kAttrNormal;
  files[9].path = S("Src\\") + Name(9);  // taken
  files[11].path = S("Missing\\") + Name(11);
  files[13].stamped = false;

  std::vector<WinError> results;
  fs().CreateFiles(files, BatchEnd::kAll, &results);
  ASSERT_EQ(results.size(), files.size());
  for (int i = 0; i < kFiles; ++i) {
    const WinError expected = i == 9 ? kErrorFileExists : i == 11 ? kErrorPathNotFound : kSuccess;
    EXPECT_EQ(results[i], expected) << i;
    if (expected != kSuccess) continue;
    EXPECT_EQ(Read(files[i].path), files[i].data) << i;
    EXPECT_EQ(SetAttributes(files[i].path), i == 3 ? kAttrHidden : i == 5 ? kAttrReadOnly : 0) << i;
    if (i != 13) {
      EXPECT_EQ(TimesOf(files[i].path).last_write, April2003()) << i;
      EXPECT_EQ(TimesOf(files[i].path).creation, April2003()) << i;
    }
  }
  EXPECT_NE(TimesOf(files[13].path).last_write, April2003());
  EXPECT_EQ(Read(S("Src\\") + Name(9)), "file 9");
  ASSERT_EQ(fs().WriteAttributes(files[5].path, kAttrNormal), kSuccess);

  // The same names again: all but the two made elsewhere are taken now.
  fs().CreateFiles(NewFilesIn("New"), BatchEnd::kAll, &results);
  ASSERT_EQ(results.size(), static_cast<size_t>(kFiles));
  for (int i = 0; i < kFiles; ++i) {
    EXPECT_EQ(results[i], i == 9 || i == 11 ? kSuccess : kErrorFileExists) << i;
  }
  EXPECT_EQ(Read(files[4].path), "new 4");
}

TEST_F(FileSystemBatchTest, ABatchThatStopsAtAFailureLeavesTheRestAlone) {
  constexpr int kFailing = 12;
  std::vector<FileCopy> copies = CopiesInto("Stop");
  copies[kFailing].source = S("Src\\missing.txt");
  std::vector<WinError> results;
  fs().CopyFiles(copies, /*fail_if_exists=*/true, BatchEnd::kStopAtFailure, &results);
  // A port that copies several at once may have done a few beyond the failure.
  ASSERT_GT(results.size(), static_cast<size_t>(kFailing));
  EXPECT_EQ(results[kFailing], kErrorFileNotFound);
  for (int i = 0; i < kFiles; ++i) {
    const bool reported = static_cast<size_t>(i) < results.size();
    if (i != kFailing && reported) {
      EXPECT_EQ(results[i], kSuccess) << i;
    }
    EXPECT_EQ(Attributes(copies[i].target) != kInvalidAttributes, reported && i != kFailing) << i;
  }
  EXPECT_LT(results.size(), copies.size());

  std::vector<NewFile> files = NewFilesIn("New");
  files[kFailing].path = S("Src\\") + Name(0);
  fs().CreateFiles(files, BatchEnd::kStopAtFailure, &results);
  ASSERT_GT(results.size(), static_cast<size_t>(kFailing));
  EXPECT_EQ(results[kFailing], kErrorFileExists);
  for (int i = 0; i < kFiles; ++i) {
    const bool made = static_cast<size_t>(i) < results.size() && i != kFailing;
    if (made) {
      EXPECT_EQ(results[i], kSuccess) << i;
    }
    if (i != kFailing) {
      EXPECT_EQ(Attributes(files[i].path) != kInvalidAttributes, made) << i;
    }
  }
  EXPECT_LT(results.size(), files.size());

  std::vector<std::string> paths;
  for (int i = 0; i < kFiles; ++i) paths.push_back(S("Src\\") + Name(i));
  ASSERT_EQ(fs().WriteAttributes(paths[kFailing], kAttrReadOnly), kSuccess);
  fs().DeleteFiles(paths, BatchEnd::kStopAtFailure, &results);
  ASSERT_GT(results.size(), static_cast<size_t>(kFailing));
  EXPECT_EQ(results[kFailing], kErrorAccessDenied);
  for (int i = 0; i < kFiles; ++i) {
    const bool gone = static_cast<size_t>(i) < results.size() && i != kFailing;
    EXPECT_EQ(Attributes(paths[i]) == kInvalidAttributes, gone) << i;
  }
}

}  // namespace
}  // namespace qdw::platform
