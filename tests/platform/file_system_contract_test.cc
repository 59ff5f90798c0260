// Files and folders as Windows presents them: opening, sharing, attributes, folders.
#include <memory>

#include "tests/platform/file_system_test_fixture.h"

namespace qdw::platform {
namespace {

TEST_F(FileSystemContractTest, CreatesReadsAndReopensFilesIgnoringCase) {
  ASSERT_EQ(fs().MakeFolder(S("Docs")), kSuccess);
  Write(S("Docs\\Report.txt"), "hello world");
  EXPECT_EQ(Read(S("docs\\REPORT.TXT")), "hello world");
  EXPECT_EQ(Names(S("Docs\\*.txt")), std::vector<std::string>{"Report.txt"});

  std::unique_ptr<File> file;
  ASSERT_EQ(fs().Open(S("Docs\\report.txt"), kGenericRead | kGenericWrite, kShareNone,
                      Disposition::kOpenExisting, 0, &file),
            kSuccess);
  uint64_t position = 0;
  ASSERT_EQ(file->Seek(6, SeekOrigin::kBegin, &position), kSuccess);
  ASSERT_EQ(file->SetEnd(), kSuccess);
  uint64_t size = 0;
  ASSERT_EQ(file->Size(&size), kSuccess);
  EXPECT_EQ(size, 6u);
  file.reset();
  EXPECT_EQ(Read(S("Docs\\Report.txt")), "hello ");
}

TEST_F(FileSystemContractTest, OpenReportsWindowsErrorsForEachDisposition) {
  Write(S("a.txt"), "x");
  std::unique_ptr<File> file;
  EXPECT_EQ(fs().Open(S("a.txt"), kGenericWrite, 0, Disposition::kCreateNew, 0, &file),
            kErrorFileExists);
  EXPECT_EQ(fs().Open(S("b.txt"), kGenericRead, 0, Disposition::kOpenExisting, 0, &file),
            kErrorFileNotFound);
  EXPECT_EQ(fs().Open(S("b.txt"), kGenericWrite, 0, Disposition::kTruncateExisting, 0, &file),
            kErrorFileNotFound);
  EXPECT_EQ(fs().Open(S("missing\\b.txt"), kGenericWrite, 0, Disposition::kCreateAlways, 0, &file),
            kErrorPathNotFound);
  EXPECT_EQ(fs().Open(S("a.txt\\b.txt"), kGenericRead, 0, Disposition::kOpenExisting, 0, &file),
            kErrorPathNotFound);
  EXPECT_EQ(fs().Open(port_->scratch(), kGenericRead, 0, Disposition::kOpenExisting, 0, &file),
            kErrorAccessDenied);

  EXPECT_EQ(fs().Open(S("a?.txt"), kGenericRead, 0, Disposition::kOpenExisting, 0, &file),
            kErrorInvalidName);
  EXPECT_EQ(file, nullptr);
  ASSERT_EQ(fs().Open(S("a.txt"), kGenericRead, 0, Disposition::kOpenAlways, 0, &file), kSuccess);
}

TEST_F(FileSystemContractTest, SharingModesDecideWhoElseMayOpen) {
  Write(S("doc.pdf"), "pdf");
  std::unique_ptr<File> writer;
  ASSERT_EQ(
      fs().Open(S("doc.pdf"), kGenericWrite, kShareNone, Disposition::kOpenExisting, 0, &writer),
      kSuccess);
  std::unique_ptr<File> reader;
  EXPECT_EQ(fs().Open(S("DOC.PDF"), kGenericRead, kShareRead | kShareWrite,
                      Disposition::kOpenExisting, 0, &reader),
            kErrorSharingViolation);
  EXPECT_EQ(fs().Delete(S("doc.pdf")), kErrorSharingViolation);
  EXPECT_EQ(fs().Copy(S("doc.pdf"), S("copy.pdf"), true), kErrorSharingViolation);
  writer.reset();

  ASSERT_EQ(
      fs().Open(S("doc.pdf"), kGenericRead, kShareRead, Disposition::kOpenExisting, 0, &writer),
      kSuccess);
  EXPECT_EQ(
      fs().Open(S("doc.pdf"), kGenericRead, kShareRead, Disposition::kOpenExisting, 0, &reader),
      kSuccess);
  std::unique_ptr<File> second_writer;
  EXPECT_EQ(fs().Open(S("doc.pdf"), kGenericWrite, kShareRead, Disposition::kOpenExisting, 0,
                      &second_writer),
            kErrorSharingViolation);
}

TEST_F(FileSystemContractTest, FilesHeldByOtherProgramsRefuseReadersUnlessShared) {
  ASSERT_EQ(fs().MakeFolder(S("Held")), kSuccess);
  Write(S("Held\\held.pdf"), "a");
  Write(S("Held\\shared.pdf"), "b");
  port_->HoldOpen(S("HELD\\Held.PDF"), kShareNone);
  port_->HoldOpen(S("Held\\shared.pdf"), kShareRead | kShareWrite);
  EXPECT_EQ(Read(S("Held\\held.pdf")), "<error 32>");
  EXPECT_EQ(fs().Copy(S("Held\\held.pdf"), S("x.pdf"), true), kErrorSharingViolation);
  EXPECT_EQ(fs().Move(S("Held\\held.pdf"), S("x.pdf")), kErrorSharingViolation);
  EXPECT_EQ(Read(S("Held\\shared.pdf")), "b");
  EXPECT_EQ(fs().Delete(S("Held\\shared.pdf")), kErrorSharingViolation);
}

TEST_F(FileSystemContractTest, ReadOnlyFilesRefuseWritesDeletionAndOverwrite) {
  Write(S("ro.txt"), "keep");
  Write(S("other.txt"), "other");
  ASSERT_EQ(fs().WriteAttributes(S("ro.txt"), kAttrReadOnly | kAttrArchive), kSuccess);

  EXPECT_EQ(fs().Delete(S("ro.txt")), kErrorAccessDenied);
  EXPECT_EQ(Read(S("ro.txt")), "keep");
  ASSERT_EQ(fs().WriteAttributes(S("ro.txt"), kAttrNormal), kSuccess);
  EXPECT_EQ(Attributes(S("ro.txt")) & kAttrReadOnly, 0u);
  EXPECT_EQ(fs().Delete(S("ro.txt")), kSuccess);
  EXPECT_EQ(fs().Delete(S("ro.txt")), kErrorFileNotFound);
  EXPECT_EQ(fs().Delete(S("nowhere\\ro.txt")), kErrorPathNotFound);
}

TEST_F(FileSystemContractTest, AttributesHaveWindowsDefaultsAndSurviveReopening) {
  Write(S("plain.txt"), "x");
  ASSERT_EQ(fs().MakeFolder(S("Folder")), kSuccess);
  EXPECT_EQ(Attributes(S("plain.txt")), kAttrArchive);
  EXPECT_EQ(Attributes(S("folder")), kAttrDirectory);
  EXPECT_EQ(Attributes(port_->ScratchRoot()) & kAttrDirectory, kAttrDirectory);
  ASSERT_EQ(fs().WriteAttributes(S("FOLDER"), kAttrHidden), kSuccess);
  EXPECT_EQ(Attributes(S("Folder")), kAttrHidden | kAttrDirectory);
  uint32_t attributes = 0;
  EXPECT_EQ(fs().ReadAttributes(S("none.txt"), &attributes), kErrorFileNotFound);
  EXPECT_EQ(attributes, kInvalidAttributes);
  EXPECT_EQ(fs().ReadAttributes(S("none\\none.txt"), &attributes), kErrorPathNotFound);

  std::unique_ptr<File> file;
  ASSERT_EQ(fs().Open(S("hidden.txt"), kGenericWrite, 0, Disposition::kCreateNew,
                      kAttrHidden | kAttrReadOnly, &file),
            kSuccess);
  file.reset();
  EXPECT_EQ(Attributes(S("hidden.txt")), kAttrHidden | kAttrReadOnly | kAttrArchive);

  ASSERT_EQ(fs().WriteAttributes(S("hidden.txt"), kAttrHidden), kSuccess);
  EXPECT_EQ(
      fs().Open(S("hidden.txt"), kGenericWrite, 0, Disposition::kCreateAlways, kAttrHidden, &file),
      kSuccess);
}

TEST_F(FileSystemContractTest, FolderOperationsGiveTheWindowsCodes) {
  EXPECT_EQ(fs().MakeFolder(S("A")), kSuccess);
  EXPECT_EQ(fs().MakeFolder(S("a")), kErrorAlreadyExists);
  EXPECT_EQ(fs().MakeFolder(port_->ScratchRoot()), kErrorAlreadyExists);
  EXPECT_EQ(fs().MakeFolder(S("B\\C")), kErrorPathNotFound);
  Write(S("A\\f.txt"), "x");
  EXPECT_EQ(fs().MakeFolder(S("A\\f.txt")), kErrorAlreadyExists);
  EXPECT_EQ(fs().RemoveFolder(S("A")), kErrorDirNotEmpty);
  EXPECT_EQ(fs().RemoveFolder(S("A\\f.txt")), kErrorDirectory);
  EXPECT_EQ(fs().RemoveFolder(S("Z")), kErrorFileNotFound);
  EXPECT_EQ(fs().RemoveFolder(S("Z\\Y")), kErrorPathNotFound);
  EXPECT_EQ(fs().Delete(S("A")), kErrorAccessDenied);
  ASSERT_EQ(fs().Delete(S("A\\f.txt")), kSuccess);

  EXPECT_EQ(fs().RemoveFolder(S("a")), kSuccess);
}

TEST_F(FileSystemContractTest, LastWriteTimesAreKeptAndSettable) {
  Write(S("t.txt"), "x");
  std::unique_ptr<File> file;
  ASSERT_EQ(fs().Open(S("t.txt"), kGenericWrite, 0, Disposition::kOpenExisting, 0, &file),
            kSuccess);
  const FileTime write_time = April2003();
  ASSERT_EQ(file->SetTimes(nullptr, nullptr, &write_time), kSuccess);
  FileTimes times;
  ASSERT_EQ(file->Times(&times), kSuccess);
  EXPECT_EQ(times.last_write, write_time);
  file.reset();
  std::vector<DirEntry> entries;
  ASSERT_EQ(fs().Find(S("t.txt"), &entries), kSuccess);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].times.last_write, write_time);
  EXPECT_EQ(entries[0].size, 1u);
}

}  // namespace
}  // namespace qdw::platform
