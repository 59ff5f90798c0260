// Files and folders as Windows presents them: opening, sharing, attributes, folders.
#include <memory>

#include "tests/platform/file_system_test_fixture.h"

namespace qdw::platform {
namespace {

TEST_F(FileSystemContractTest, CreatesReadsAndReopensFilesIgnoringCase) {
  ASSERT_EQ(fs().MakeFolder("C:\\Users\\jo\\Docs"), kSuccess);
  Write("C:\\Users\\jo\\Docs\\Report.txt", "hello world");
  EXPECT_EQ(Read("c:\\USERS\\JO\\docs\\REPORT.TXT"), "hello world");
  EXPECT_EQ(Names("C:\\Users\\jo\\Docs\\*.txt"), std::vector<std::string>{"Report.txt"});

  std::unique_ptr<File> file;
  ASSERT_EQ(fs().Open("C:\\Users\\jo\\Docs\\report.txt", kGenericRead | kGenericWrite, kShareNone,
                      Disposition::kOpenExisting, 0, &file),
            kSuccess);
  uint64_t position = 0;
  ASSERT_EQ(file->Seek(6, SeekOrigin::kBegin, &position), kSuccess);
  ASSERT_EQ(file->SetEnd(), kSuccess);
  uint64_t size = 0;
  ASSERT_EQ(file->Size(&size), kSuccess);
  EXPECT_EQ(size, 6u);
  file.reset();
  EXPECT_EQ(Read("C:\\Users\\jo\\Docs\\Report.txt"), "hello ");
}

TEST_F(FileSystemContractTest, OpenReportsWindowsErrorsForEachDisposition) {
  Write("C:\\a.txt", "x");
  std::unique_ptr<File> file;
  EXPECT_EQ(fs().Open("C:\\a.txt", kGenericWrite, 0, Disposition::kCreateNew, 0, &file),
            kErrorFileExists);
  EXPECT_EQ(fs().Open("C:\\b.txt", kGenericRead, 0, Disposition::kOpenExisting, 0, &file),
            kErrorFileNotFound);
  EXPECT_EQ(fs().Open("C:\\b.txt", kGenericWrite, 0, Disposition::kTruncateExisting, 0, &file),
            kErrorFileNotFound);
  EXPECT_EQ(fs().Open("C:\\missing\\b.txt", kGenericWrite, 0, Disposition::kCreateAlways, 0, &file),
            kErrorPathNotFound);
  EXPECT_EQ(fs().Open("C:\\a.txt\\b.txt", kGenericRead, 0, Disposition::kOpenExisting, 0, &file),
            kErrorPathNotFound);
  EXPECT_EQ(fs().Open("C:\\Users", kGenericRead, 0, Disposition::kOpenExisting, 0, &file),
            kErrorAccessDenied);
  EXPECT_EQ(fs().Open("Q:\\a.txt", kGenericRead, 0, Disposition::kOpenExisting, 0, &file),
            kErrorPathNotFound);
  EXPECT_EQ(fs().Open("C:\\a?.txt", kGenericRead, 0, Disposition::kOpenExisting, 0, &file),
            kErrorInvalidName);
  EXPECT_EQ(file, nullptr);
  ASSERT_EQ(fs().Open("C:\\a.txt", kGenericRead, 0, Disposition::kOpenAlways, 0, &file), kSuccess);
  EXPECT_EQ(fs().Open("E:\\new.txt", kGenericWrite, 0, Disposition::kCreateAlways, 0, &file),
            kErrorAccessDenied);  // a CD-ROM takes no writes
}

TEST_F(FileSystemContractTest, SharingModesDecideWhoElseMayOpen) {
  Write("C:\\doc.pdf", "pdf");
  std::unique_ptr<File> writer;
  ASSERT_EQ(
      fs().Open("C:\\doc.pdf", kGenericWrite, kShareNone, Disposition::kOpenExisting, 0, &writer),
      kSuccess);
  std::unique_ptr<File> reader;
  EXPECT_EQ(fs().Open("C:\\DOC.PDF", kGenericRead, kShareRead | kShareWrite,
                      Disposition::kOpenExisting, 0, &reader),
            kErrorSharingViolation);
  EXPECT_EQ(fs().Delete("C:\\doc.pdf"), kErrorSharingViolation);
  EXPECT_EQ(fs().Copy("C:\\doc.pdf", "C:\\copy.pdf", true), kErrorSharingViolation);
  writer.reset();

  ASSERT_EQ(
      fs().Open("C:\\doc.pdf", kGenericRead, kShareRead, Disposition::kOpenExisting, 0, &writer),
      kSuccess);
  EXPECT_EQ(
      fs().Open("C:\\doc.pdf", kGenericRead, kShareRead, Disposition::kOpenExisting, 0, &reader),
      kSuccess);
  std::unique_ptr<File> second_writer;
  EXPECT_EQ(fs().Open("C:\\doc.pdf", kGenericWrite, kShareRead, Disposition::kOpenExisting, 0,
                      &second_writer),
            kErrorSharingViolation);
}

TEST_F(FileSystemContractTest, FilesHeldByOtherProgramsRefuseReadersUnlessShared) {
  Write("C:\\Users\\jo\\held.pdf", "a");
  Write("C:\\Users\\jo\\shared.pdf", "b");
  HoldByOtherProgram("c:\\users\\JO\\held.pdf", kShareNone);
  HoldByOtherProgram("C:\\Users\\jo\\shared.pdf", kShareRead | kShareWrite);
  EXPECT_EQ(Read("C:\\Users\\jo\\held.pdf"), "<error 32>");
  EXPECT_EQ(fs().Copy("C:\\Users\\jo\\held.pdf", "C:\\x.pdf", true), kErrorSharingViolation);
  EXPECT_EQ(fs().Move("C:\\Users\\jo\\held.pdf", "C:\\x.pdf"), kErrorSharingViolation);
  EXPECT_EQ(fs().Move("C:\\Users\\jo", "C:\\Users\\joe"), kErrorAccessDenied);
  EXPECT_EQ(Read("C:\\Users\\jo\\shared.pdf"), "b");
  EXPECT_EQ(fs().Delete("C:\\Users\\jo\\shared.pdf"), kErrorSharingViolation);
}

TEST_F(FileSystemContractTest, ReadOnlyFilesRefuseWritesDeletionAndOverwrite) {
  Write("C:\\ro.txt", "keep");
  Write("C:\\other.txt", "other");
  ASSERT_EQ(fs().WriteAttributes("C:\\ro.txt", kAttrReadOnly | kAttrArchive), kSuccess);
  std::unique_ptr<File> file;
  EXPECT_EQ(fs().Open("C:\\ro.txt", kGenericWrite, 0, Disposition::kOpenExisting, 0, &file),
            kErrorAccessDenied);
  EXPECT_EQ(fs().Open("C:\\ro.txt", kGenericRead, 0, Disposition::kCreateAlways, 0, &file),
            kErrorAccessDenied);
  EXPECT_EQ(fs().Delete("C:\\ro.txt"), kErrorAccessDenied);
  EXPECT_EQ(fs().Copy("C:\\other.txt", "C:\\ro.txt", false), kErrorAccessDenied);
  EXPECT_EQ(Read("C:\\ro.txt"), "keep");
  ASSERT_EQ(fs().WriteAttributes("C:\\ro.txt", kAttrNormal), kSuccess);
  EXPECT_EQ(Attributes("C:\\ro.txt"), kAttrNormal);
  EXPECT_EQ(fs().Delete("C:\\ro.txt"), kSuccess);
  EXPECT_EQ(fs().Delete("C:\\ro.txt"), kErrorFileNotFound);
  EXPECT_EQ(fs().Delete("C:\\nowhere\\ro.txt"), kErrorPathNotFound);
}

TEST_F(FileSystemContractTest, AttributesHaveWindowsDefaultsAndSurviveReopening) {
  Write("C:\\plain.txt", "x");
  ASSERT_EQ(fs().MakeFolder("C:\\Folder"), kSuccess);
  EXPECT_EQ(Attributes("C:\\plain.txt"), kAttrArchive);
  EXPECT_EQ(Attributes("C:\\folder"), kAttrDirectory);
  EXPECT_EQ(Attributes("C:\\"), kAttrDirectory);
  ASSERT_EQ(fs().WriteAttributes("C:\\FOLDER", kAttrHidden), kSuccess);
  EXPECT_EQ(Attributes("C:\\Folder"), kAttrHidden | kAttrDirectory);
  uint32_t attributes = 0;
  EXPECT_EQ(fs().ReadAttributes("C:\\none.txt", &attributes), kErrorFileNotFound);
  EXPECT_EQ(attributes, kInvalidAttributes);
  EXPECT_EQ(fs().ReadAttributes("C:\\none\\none.txt", &attributes), kErrorPathNotFound);

  std::unique_ptr<File> file;
  ASSERT_EQ(fs().Open("C:\\hidden.txt", kGenericWrite, 0, Disposition::kCreateNew,
                      kAttrHidden | kAttrReadOnly, &file),
            kSuccess);
  file.reset();
  EXPECT_EQ(Attributes("C:\\hidden.txt"), kAttrHidden | kAttrReadOnly | kAttrArchive);
  // A hidden file is replaced only by a caller asking for a hidden file.
  ASSERT_EQ(fs().WriteAttributes("C:\\hidden.txt", kAttrHidden), kSuccess);
  EXPECT_EQ(
      fs().Open("C:\\hidden.txt", kGenericWrite, 0, Disposition::kCreateAlways, kAttrNormal, &file),
      kErrorAccessDenied);
  EXPECT_EQ(
      fs().Open("C:\\hidden.txt", kGenericWrite, 0, Disposition::kCreateAlways, kAttrHidden, &file),
      kSuccess);
}

TEST_F(FileSystemContractTest, FolderOperationsGiveTheWindowsCodes) {
  EXPECT_EQ(fs().MakeFolder("C:\\A"), kSuccess);
  EXPECT_EQ(fs().MakeFolder("c:\\a"), kErrorAlreadyExists);
  EXPECT_EQ(fs().MakeFolder("C:\\"), kErrorAlreadyExists);
  EXPECT_EQ(fs().MakeFolder("C:\\B\\C"), kErrorPathNotFound);
  Write("C:\\A\\f.txt", "x");
  EXPECT_EQ(fs().MakeFolder("C:\\A\\f.txt"), kErrorAlreadyExists);
  EXPECT_EQ(fs().RemoveFolder("C:\\A"), kErrorDirNotEmpty);
  EXPECT_EQ(fs().RemoveFolder("C:\\A\\f.txt"), kErrorDirectory);
  EXPECT_EQ(fs().RemoveFolder("C:\\Z"), kErrorFileNotFound);
  EXPECT_EQ(fs().RemoveFolder("C:\\Z\\Y"), kErrorPathNotFound);
  EXPECT_EQ(fs().Delete("C:\\A"), kErrorAccessDenied);
  ASSERT_EQ(fs().Delete("C:\\A\\f.txt"), kSuccess);
  ASSERT_EQ(fs().WriteAttributes("C:\\A", kAttrReadOnly), kSuccess);
  EXPECT_EQ(fs().RemoveFolder("C:\\A"), kErrorAccessDenied);
  ASSERT_EQ(fs().WriteAttributes("C:\\A", kAttrNormal), kSuccess);
  EXPECT_EQ(fs().RemoveFolder("C:\\a"), kSuccess);
  EXPECT_EQ(fs().RemoveFolder("C:\\"), kErrorAccessDenied);
}

TEST_F(FileSystemContractTest, TimesAreKeptAndSettable) {
  Write("C:\\t.txt", "x");
  std::unique_ptr<File> file;
  ASSERT_EQ(fs().Open("C:\\t.txt", kGenericWrite, 0, Disposition::kOpenExisting, 0, &file),
            kSuccess);
  CalendarTime when;
  when.year = 2003;
  when.month = 4;
  when.day = 5;
  when.hour = 6;
  FileTime write_time;
  ASSERT_TRUE(CalendarToFileTime(when, &write_time));
  FileTime creation_time{write_time.ticks - 1000 * kTicksPerSecond};
  ASSERT_EQ(file->SetTimes(&creation_time, nullptr, &write_time), kSuccess);
  FileTimes times;
  ASSERT_EQ(file->Times(&times), kSuccess);
  EXPECT_EQ(times.last_write, write_time);
  EXPECT_EQ(times.creation, creation_time);
  file.reset();
  std::vector<DirEntry> entries;
  ASSERT_EQ(fs().Find("C:\\t.txt", &entries), kSuccess);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].times.last_write, write_time);
  EXPECT_EQ(entries[0].times.creation, creation_time);
  EXPECT_EQ(entries[0].size, 1u);

  ASSERT_EQ(fs().Open("C:\\t.txt", kGenericRead, kShareRead, Disposition::kOpenExisting, 0, &file),
            kSuccess);
  EXPECT_EQ(file->SetTimes(nullptr, nullptr, &write_time), kErrorAccessDenied);
}

}  // namespace
}  // namespace qdw::platform
