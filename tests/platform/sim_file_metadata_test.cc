// Where the stand-in machine keeps what the host cannot: a creation time set through a handle
// lives on the host file and goes where the file goes, and unchanged attributes leave no
// sidecar behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/file_system.h"
#include "platform/sim/sim_metadata.h"
#include "platform/sim/sim_paths.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::testing {
namespace {

using platform::Disposition;
using platform::FileTime;
using platform::kGenericRead;
using platform::kGenericWrite;
using platform::kSuccess;

class SimFileMetadataTest : public ::testing::Test {
 protected:
  platform::FileSystem& files() { return machine_.platform().files(); }

  std::unique_ptr<platform::File> OpenFile(const std::string& path, Disposition disposition) {
    std::unique_ptr<platform::File> file;
    EXPECT_EQ(files().Open(path, kGenericRead | kGenericWrite, 0, disposition,
                           platform::kAttrNormal, &file),
              kSuccess);
    return file;
  }

  void Stamp(const std::string& path, FileTime creation) {
    auto file = OpenFile(path, Disposition::kOpenExisting);
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(file->SetTimes(&creation, nullptr, nullptr), kSuccess);
  }

  FileTime CreationOf(const std::string& path) {
    std::unique_ptr<platform::File> file;
    EXPECT_EQ(files().Open(path, kGenericRead, platform::kShareRead, Disposition::kOpenExisting,
                           platform::kAttrNormal, &file),
              kSuccess);
    platform::FileTimes times;
    if (file != nullptr) {
      EXPECT_EQ(file->Times(&times), kSuccess);
    }
    std::vector<platform::DirEntry> entries;
    EXPECT_EQ(files().Find(path, &entries), kSuccess);
    if (!entries.empty()) {
      EXPECT_EQ(entries[0].times.creation, times.creation) << path;
    }
    return times.creation;
  }

  bool HasSidecar(const std::string& upper_relative) {
    return std::filesystem::exists(machine_.folder() + "/meta/" + upper_relative + ".meta");
  }

  SimTestMachine machine_;
  const FileTime stamp_{130000000000000000ULL};
};

TEST_F(SimFileMetadataTest, CreationTimeGoesWithTheFileWithoutSidecar) {
  ASSERT_EQ(files().MakeFolder("C:\\d"), kSuccess);
  ASSERT_EQ(files().MakeFolder("C:\\e"), kSuccess);
  OpenFile("C:\\d\\a.txt", Disposition::kCreateNew).reset();
  Stamp("C:\\d\\a.txt", stamp_);
  EXPECT_EQ(CreationOf("C:\\D\\A.TXT"), stamp_);
  EXPECT_EQ(files().WriteAttributes("C:\\d\\a.txt", platform::kAttrArchive), kSuccess);
  EXPECT_FALSE(HasSidecar("C/D/A.TXT"));

  ASSERT_EQ(files().Move("C:\\d\\a.txt", "C:\\e\\b.txt"), kSuccess);
  EXPECT_EQ(CreationOf("C:\\e\\b.txt"), stamp_);
  ASSERT_EQ(files().Move("C:\\e\\b.txt", "D:\\b.txt"), kSuccess);
  EXPECT_EQ(CreationOf("D:\\b.txt"), stamp_);
  ASSERT_EQ(files().Copy("D:\\b.txt", "C:\\e\\copy.txt", true), kSuccess);
  EXPECT_NE(CreationOf("C:\\e\\copy.txt"), stamp_);
}

TEST_F(SimFileMetadataTest, ReplacedFilesStartWithANewCreationTime) {
  OpenFile("C:\\a.txt", Disposition::kCreateNew).reset();
  Stamp("C:\\a.txt", stamp_);
  OpenFile("C:\\a.txt", Disposition::kCreateAlways).reset();
  EXPECT_NE(CreationOf("C:\\a.txt"), stamp_);

  OpenFile("C:\\source.txt", Disposition::kCreateNew).reset();
  OpenFile("C:\\target.txt", Disposition::kCreateNew).reset();
  Stamp("C:\\target.txt", stamp_);
  ASSERT_EQ(files().Copy("C:\\source.txt", "C:\\target.txt", false), kSuccess);
  EXPECT_NE(CreationOf("C:\\target.txt"), stamp_);
}

TEST_F(SimFileMetadataTest, ASidecarCreationTimeWinsUntilReplaced) {
  OpenFile("C:\\a.txt", Disposition::kCreateNew).reset();
  Stamp("C:\\a.txt", stamp_);
  FileTime edited{stamp_.ticks + 5};
  std::filesystem::create_directories(machine_.folder() + "/meta/C");
  std::ofstream(machine_.folder() + "/meta/C/A.TXT.meta")
      << "{\"creation\": " << edited.ticks << ", \"attributes\": 1}";
  EXPECT_EQ(CreationOf("C:\\a.txt"), edited);

  FileTime later{stamp_.ticks + 9};
  ASSERT_EQ(files().WriteAttributes("C:\\a.txt", platform::kAttrArchive), kSuccess);
  Stamp("C:\\a.txt", later);
  EXPECT_EQ(CreationOf("C:\\a.txt"), later);
  EXPECT_FALSE(HasSidecar("C/A.TXT"));  // nothing left in it but defaults
}

TEST(SimSidecarNodeTest, ASharingKeyNamesTheSameSidecarAsThePath) {
  // A call spells the sidecar path from the key it made for the sharing table; any name whose
  // key spells it differently would lose its attributes between two calls.
  const sim::MetadataStore store("/machine");
  const struct {
    int code_page;
    const char* path;
  } cases[] = {
      {1252, "C:\\Users\\jo\\QDW Repository\\Drawer 03\\doc0.pdf"},
      {1252, "D:\\a"},
      {1252, "C:\\caf\xE9\\R\xC9SUM\xE9.txt"},
      {932, "C:\\Docs\\\x95\\\\a.txt"},  // a trail byte that is a backslash
      {932, "C:\\\xB1\xB2\\x.txt"},       // half-width katakana, which have no case
  };
  for (const auto& one : cases) {
    sim::WindowsPathParts parts;
    ASSERT_EQ(sim::SplitWindowsPath(one.path, &parts, one.code_page), kSuccess) << one.path;
    EXPECT_EQ(store.Node(parts, sim::CanonicalPath(parts)).path, store.Node(parts).path)
        << one.path;
  }
  sim::WindowsPathParts root;
  ASSERT_EQ(sim::SplitWindowsPath("C:\\", &root, 1252), kSuccess);
  EXPECT_EQ(store.Node(root, sim::CanonicalPath(root)).path, "");
}

}  // namespace
}  // namespace qdw::testing
