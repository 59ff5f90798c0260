// The real registry and file system behave as the ports promise: the same cases the stand-in
// machine's contract suites check, against Windows (or Wine).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/win32/win32_scratch_folder.h"

namespace qdw::platform {
namespace {

using testing::ScratchFolder;

constexpr uint32_t kAllKeyRights = kKeyRead | kKeyWrite | kKeyEnumerateSubKeys;
const char kTestKey[] = "Software\\VARNOLD\\QdwPortTest";

std::vector<uint8_t> Text(const std::string& text) {
  std::vector<uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  return data;
}

class RegistryPortTest : public ::testing::Test {
 protected:
  Registry& registry() { return DefaultPlatform().registry(); }
  void TearDown() override {
    std::unique_ptr<RegistryKey> parent;
    if (registry().OpenKey(Hive::kCurrentUser, kTestKey, kAllKeyRights, &parent) == kSuccess) {
      parent->DeleteSubKey("Common\\Inner");
      parent->DeleteSubKey("Common");
      parent->DeleteSubKey("beta");
      parent->DeleteSubKey("Alpha");
    }
    if (registry().OpenKey(Hive::kCurrentUser, "Software\\VARNOLD", kAllKeyRights, &parent) ==
        kSuccess) {
      parent->DeleteSubKey("QdwPortTest");
    }
  }
};

TEST_F(RegistryPortTest, CreateKeyMakesEveryMissingLevelAndOpenIgnoresCase) {
  std::unique_ptr<RegistryKey> key;
  bool created = false;
  const std::string path = std::string(kTestKey) + "\\Common";
  ASSERT_EQ(registry().CreateKey(Hive::kCurrentUser, path, kAllKeyRights, &key, &created),
            kSuccess);
  EXPECT_TRUE(created);
  ASSERT_EQ(registry().CreateKey(Hive::kCurrentUser, "SOFTWARE\\varnold\\qdwporttest\\COMMON",
                                 kAllKeyRights, &key, &created),
            kSuccess);
  EXPECT_FALSE(created);
  EXPECT_EQ(registry().OpenKey(Hive::kCurrentUser, path + "\\Missing", kKeyRead, &key),
            kErrorFileNotFound);
}

TEST_F(RegistryPortTest, ValuesKeepTheirTypeAndObeyTheBufferSize) {
  std::unique_ptr<RegistryKey> key;
  ASSERT_EQ(registry().CreateKey(Hive::kCurrentUser, kTestKey, kAllKeyRights, &key, nullptr),
            kSuccess);
  ASSERT_EQ(key->SetValue("Repository Path", kRegSz, Text("C:\\Users\\jo")), kSuccess);
  ASSERT_EQ(key->SetValue("Count", kRegDword, {7, 0, 0, 0}), kSuccess);

  uint32_t type = 0;
  std::vector<uint8_t> data;
  ASSERT_EQ(key->QueryValue("repository path", 1024, &type, &data), kSuccess);
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(data, Text("C:\\Users\\jo"));
  EXPECT_EQ(key->QueryValue("Repository Path", 4, &type, &data), kErrorMoreData);
  ASSERT_EQ(key->QueryValue("Count", 4, &type, &data), kSuccess);
  EXPECT_EQ(type, kRegDword);
  EXPECT_EQ(data, (std::vector<uint8_t>{7, 0, 0, 0}));

  EXPECT_EQ(key->DeleteValue("Count"), kSuccess);
  EXPECT_EQ(key->QueryValue("Count", 4, &type, &data), kErrorFileNotFound);
}

TEST_F(RegistryPortTest, SubkeysEnumerateAndDeleteSubKeyRefusesKeysWithSubkeys) {
  std::unique_ptr<RegistryKey> key;
  for (const char* name : {"beta", "Alpha", "Common\\Inner"}) {
    ASSERT_EQ(registry().CreateKey(Hive::kCurrentUser, std::string(kTestKey) + "\\" + name,
                                   kAllKeyRights, &key, nullptr),
              kSuccess);
  }
  ASSERT_EQ(registry().OpenKey(Hive::kCurrentUser, kTestKey, kAllKeyRights, &key), kSuccess);
  std::vector<std::string> names;
  std::string name;
  for (uint32_t i = 0; key->EnumSubKey(i, &name) == kSuccess; ++i) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "Common"}));
  EXPECT_EQ(key->EnumSubKey(3, &name), kErrorNoMoreItems);

  EXPECT_EQ(key->DeleteSubKey("Common"), kErrorAccessDenied);
  EXPECT_EQ(key->DeleteSubKey("Common\\Inner"), kSuccess);
  EXPECT_EQ(key->DeleteSubKey("Common"), kSuccess);
}

TEST_F(RegistryPortTest, HandleRightsLimitWhatTheKeyAllows) {
  std::unique_ptr<RegistryKey> key;
  ASSERT_EQ(registry().CreateKey(Hive::kCurrentUser, kTestKey, kAllKeyRights, &key, nullptr),
            kSuccess);
  ASSERT_EQ(registry().OpenKey(Hive::kCurrentUser, kTestKey, kKeyQueryValue, &key), kSuccess);
  EXPECT_EQ(key->SetValue("x", kRegSz, Text("y")), kErrorAccessDenied);
}

class FileSystemPortTest : public ::testing::Test {
 protected:
  FileSystem& files() { return DefaultPlatform().files(); }
  WinError OpenFile(const std::string& path, uint32_t access, uint32_t share,
                    Disposition disposition, std::unique_ptr<File>* out) {
    return files().Open(path, access, share, disposition, kAttrNormal, out);
  }
  ScratchFolder scratch_;
};

TEST_F(FileSystemPortTest, CreatesReadsAndReopensFilesIgnoringCase) {
  std::unique_ptr<File> file;
  const std::string path = scratch_.Path("Notes.txt");
  ASSERT_EQ(OpenFile(path, kGenericWrite, kShareNone, Disposition::kCreateNew, &file), kSuccess);
  uint32_t written = 0;
  ASSERT_EQ(file->Write("hello", 5, &written), kSuccess);
  EXPECT_EQ(written, 5u);
  file.reset();
  EXPECT_EQ(OpenFile(path, kGenericWrite, kShareNone, Disposition::kCreateNew, &file),
            kErrorFileExists);
  ASSERT_EQ(OpenFile(scratch_.Path("NOTES.TXT"), kGenericRead, kShareRead,
                     Disposition::kOpenExisting, &file),
            kSuccess);
  char buffer[8] = {};
  uint32_t read = 0;
  ASSERT_EQ(file->Read(buffer, sizeof(buffer), &read), kSuccess);
  EXPECT_EQ(std::string(buffer, read), "hello");
  uint64_t size = 0;
  ASSERT_EQ(file->Size(&size), kSuccess);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(OpenFile(scratch_.Path("missing.txt"), kGenericRead, kShareRead,
                     Disposition::kOpenExisting, &file),
            kErrorFileNotFound);
  EXPECT_EQ(OpenFile(scratch_.Path("no\\such.txt"), kGenericRead, kShareRead,
                     Disposition::kOpenExisting, &file),
            kErrorPathNotFound);
}

TEST_F(FileSystemPortTest, SharingModesDecideWhoElseMayOpen) {
  const std::string path = scratch_.Path("held.pdf");
  scratch_.Put("held.pdf", "pdf");
  std::unique_ptr<File> holder;
  ASSERT_EQ(OpenFile(path, kGenericRead, kShareRead, Disposition::kOpenExisting, &holder),
            kSuccess);
  std::unique_ptr<File> second;
  EXPECT_EQ(OpenFile(path, kGenericRead, kShareRead, Disposition::kOpenExisting, &second),
            kSuccess);
  second.reset();
  EXPECT_EQ(OpenFile(path, kGenericWrite, kShareRead, Disposition::kOpenExisting, &second),
            kErrorSharingViolation);
  EXPECT_EQ(files().Delete(path), kErrorSharingViolation);
  holder.reset();
  EXPECT_EQ(files().Delete(path), kSuccess);
}

TEST_F(FileSystemPortTest, ReadOnlyFilesRefuseDeletionAndWrites) {
  const std::string path = scratch_.Path("kept.pdf");
  scratch_.Put("kept.pdf", "pdf");
  ASSERT_EQ(files().WriteAttributes(path, kAttrReadOnly), kSuccess);
  uint32_t attributes = 0;
  ASSERT_EQ(files().ReadAttributes(path, &attributes), kSuccess);
  EXPECT_TRUE(attributes & kAttrReadOnly);
  EXPECT_EQ(files().Delete(path), kErrorAccessDenied);
  std::unique_ptr<File> writer;
  const WinError opened =
      OpenFile(path, kGenericWrite, kShareNone, Disposition::kOpenExisting, &writer);
  writer.reset();
  ASSERT_EQ(files().WriteAttributes(path, kAttrNormal), kSuccess);
  EXPECT_EQ(files().Delete(path), kSuccess);
  if (opened == kSuccess && testing::RunningUnderWine()) {
    GTEST_SKIP() << "Wine run by root opens read-only files for writing";
  }
  EXPECT_EQ(opened, kErrorAccessDenied);
}

TEST_F(FileSystemPortTest, FolderOperationsGiveTheWindowsCodes) {
  const std::string folder = scratch_.Path("QDW");
  ASSERT_EQ(files().MakeFolder(folder), kSuccess);
  EXPECT_EQ(files().MakeFolder(folder), kErrorAlreadyExists);
  EXPECT_EQ(files().MakeFolder(scratch_.Path("a\\b")), kErrorPathNotFound);
  scratch_.Put("QDW\\doc.pdf", "x");
  EXPECT_EQ(files().RemoveFolder(folder), kErrorDirNotEmpty);

  std::vector<DirEntry> entries;
  ASSERT_EQ(files().Find(folder + "\\*.pdf", &entries), kSuccess);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "doc.pdf");
  EXPECT_EQ(entries[0].size, 1u);
  EXPECT_EQ(files().Find(folder + "\\*.txt", &entries), kErrorFileNotFound);

  ASSERT_EQ(files().Copy(folder + "\\doc.pdf", folder + "\\copy.pdf", true), kSuccess);
  EXPECT_EQ(files().Copy(folder + "\\doc.pdf", folder + "\\copy.pdf", true), kErrorFileExists);
  EXPECT_EQ(files().Move(folder + "\\copy.pdf", folder + "\\doc.pdf"), kErrorAlreadyExists);
  ASSERT_EQ(files().Move(folder, scratch_.Path("QDWie")), kSuccess);
  EXPECT_EQ(testing::ReadTree(scratch_.Path("QDWie")).size(), 2u);
}

TEST_F(FileSystemPortTest, TimesAreKeptAndSettable) {
  scratch_.Put("t.txt", "t");
  std::unique_ptr<File> file;
  ASSERT_EQ(OpenFile(scratch_.Path("t.txt"), kGenericRead | kGenericWrite, kShareNone,
                     Disposition::kOpenExisting, &file),
            kSuccess);
  // 2026-12-06 09:05:00 UTC in 100-ns ticks since 1601.
  const FileTime when{134410215000000000ull};
  ASSERT_EQ(file->SetTimes(nullptr, nullptr, &when), kSuccess);
  FileTimes times;
  ASSERT_EQ(file->Times(&times), kSuccess);
  EXPECT_EQ(times.last_write.ticks, when.ticks);
}

TEST_F(FileSystemPortTest, DrivesAndTemporaryNamesComeFromTheSystem) {
  EXPECT_EQ(files().DriveKind("C:\\"), kDriveFixed);
  uint64_t free_bytes = 0;
  EXPECT_EQ(files().FreeSpace("C:\\", &free_bytes), kSuccess);
  EXPECT_GT(free_bytes, 0u);
  std::string name;
  ASSERT_EQ(files().TempFileName("qdw", &name), kSuccess);
  EXPECT_NE(name.find("qdw"), std::string::npos);
}

}  // namespace
}  // namespace qdw::platform
