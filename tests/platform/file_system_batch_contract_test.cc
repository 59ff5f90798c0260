// Batches of copies and deletes: each item's outcome is that of its single call, whatever runs
// at once, and a batch that stops at a failure leaves what comes after it alone.
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
    for (const char* folder : {"Src", "Dst", "Stop"})
      ASSERT_EQ(fs().MakeFolder(S(folder)), kSuccess);
    for (int i = 0; i < kFiles; ++i) Write(S("Src\\") + Name(i), "file " + std::to_string(i));
  }
  std::vector<FileCopy> CopiesInto(const std::string& folder) {
    std::vector<FileCopy> copies;
    for (int i = 0; i < kFiles; ++i)
      copies.push_back({S("Src\\") + Name(i), S(folder) + "\\" + Name(i)});
    return copies;
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
    EXPECT_EQ(Read(S("Dst\\") + Name(i)), refused(i) ? "kept" : "file " + std::to_string(i))
        << i;
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
