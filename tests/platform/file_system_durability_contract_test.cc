// What a journal of changes relies on: flushing a file, replacing one file by another in one
// step, and the full form of a path.
#include <memory>

#include "tests/platform/file_system_test_fixture.h"

namespace qdw::platform {
namespace {

TEST_F(FileSystemContractTest, FlushNeedsAHandleThatMayWrite) {
  std::unique_ptr<File> file;
  ASSERT_EQ(fs().Open(S("journal.txt"), kGenericWrite, kShareRead, Disposition::kCreateNew,
                      kAttrNormal, &file),
            kSuccess);
  uint32_t written = 0;
  ASSERT_EQ(file->Write("step 1\n", 7, &written), kSuccess);
  EXPECT_EQ(file->Flush(), kSuccess);
  std::unique_ptr<File> reader;
  ASSERT_EQ(fs().Open(S("journal.txt"), kGenericRead, kShareRead | kShareWrite,
                      Disposition::kOpenExisting, 0, &reader),
            kSuccess);
  EXPECT_EQ(reader->Flush(), kErrorAccessDenied);
  file.reset();
  reader.reset();
  EXPECT_EQ(Read(S("journal.txt")), "step 1\n");
}

TEST_F(FileSystemContractTest, ReplaceMovesAFileOverAnotherOrRefusesAsWindowsDoes) {
  Write(S("new.txt"), "new");
  Write(S("old.txt"), "old");
  ASSERT_EQ(fs().WriteAttributes(S("new.txt"), kAttrHidden | kAttrArchive), kSuccess);
  ASSERT_EQ(fs().Replace(S("new.txt"), S("OLD.TXT")), kSuccess);
  EXPECT_EQ(Read(S("old.txt")), "new");
  EXPECT_EQ(Attributes(S("old.txt")), kAttrHidden | kAttrArchive) << "the source's file moved";
  EXPECT_EQ(Attributes(S("new.txt")), kInvalidAttributes);

  // A missing target: a plain rename.
  ASSERT_EQ(fs().Replace(S("old.txt"), S("fresh.txt")), kSuccess);
  EXPECT_EQ(Read(S("fresh.txt")), "new");

  Write(S("source.txt"), "source");
  ASSERT_EQ(fs().MakeFolder(S("Folder")), kSuccess);
  EXPECT_EQ(fs().Replace(S("source.txt"), S("Folder")), kErrorAccessDenied);
  EXPECT_EQ(fs().Replace(S("missing.txt"), S("fresh.txt")), kErrorFileNotFound);
  EXPECT_EQ(fs().Replace(S("source.txt"), S("nowhere\\x.txt")), kErrorPathNotFound);
  port_->HoldOpen(S("fresh.txt"), kShareRead | kShareWrite | kShareDelete);
  EXPECT_EQ(fs().Replace(S("source.txt"), S("fresh.txt")), kErrorAccessDenied)
      << "an open file is not replaced, whatever its opener shares";
  EXPECT_EQ(Read(S("fresh.txt")), "new");
  port_->HoldOpen(S("source.txt"), kShareRead | kShareWrite);
  EXPECT_EQ(fs().Replace(S("source.txt"), S("other.txt")), kErrorSharingViolation);
  EXPECT_EQ(Read(S("source.txt")), "source");
}

TEST_F(FileSystemContractTest, ReplaceRefusesAReadOnlyTarget) {
  QDW_SKIP_IF_LACKING(*port_, testing::Capability::kReadOnlyEnforced);
  Write(S("source.txt"), "source");
  Write(S("kept.txt"), "kept");
  ASSERT_EQ(fs().WriteAttributes(S("kept.txt"), kAttrReadOnly), kSuccess);
  EXPECT_EQ(fs().Replace(S("source.txt"), S("kept.txt")), kErrorAccessDenied);
  EXPECT_EQ(Read(S("kept.txt")), "kept");
  EXPECT_EQ(Read(S("source.txt")), "source");
  ASSERT_EQ(fs().WriteAttributes(S("kept.txt"), kAttrNormal), kSuccess);
}

TEST_F(FileSystemContractTest, FullPathResolvesDotsSeparatorsAndTrailingDots) {
  ASSERT_EQ(fs().MakeFolder(S("Docs")), kSuccess);
  std::string base;
  ASSERT_EQ(fs().FullPath(port_->scratch(), &base), kSuccess);
  std::string full;
  ASSERT_EQ(fs().FullPath(port_->scratch() + "/Docs/./x/../a.txt", &full), kSuccess);
  EXPECT_EQ(full, base + "\\Docs\\a.txt");
  ASSERT_EQ(fs().FullPath(port_->scratch() + "\\\\Docs\\\\new\\", &full), kSuccess);
  EXPECT_EQ(full, base + "\\Docs\\new\\");
  ASSERT_EQ(fs().FullPath(port_->scratch() + "\\Docs\\name. . .", &full), kSuccess);
  EXPECT_EQ(full, base + "\\Docs\\name");
  ASSERT_EQ(fs().FullPath(port_->ScratchRoot() + "..\\..\\x", &full), kSuccess);
  EXPECT_EQ(full, port_->ScratchRoot() + "x");

  for (const char* refused : {"relative\\a.txt", "C:relative", "\\\\?\\C:\\x", "\\\\.\\COM1"}) {
    EXPECT_EQ(fs().FullPath(refused, &full), kErrorInvalidName) << refused;
  }
  EXPECT_EQ(fs().FullPath(port_->ScratchRoot() + std::string(300, 'x'), &full),
            kErrorFilenameExcedRange);
}

}  // namespace
}  // namespace qdw::platform
