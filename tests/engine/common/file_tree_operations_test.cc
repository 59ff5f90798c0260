#include "engine/common/file_tree_operations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "engine/common/engine_errors.h"
#include "platform/sim/sim_file_system.h"
#include "tests/engine/common/engine_test_support.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::engine {
namespace {

using platform::kSuccess;

// Records each call and whether the document's companion file had been copied by then.
class RecordingCleanup : public LockedDocumentCleanup {
 public:
  explicit RecordingCleanup(platform::FileSystem& files) : files_(files) {}
  void RemoveLockedDocument(const std::string& folder, const std::string& base_name) override {
    calls.emplace_back(folder, base_name);
    uint32_t attributes = 0;
    companion_present.push_back(
        files_.ReadAttributes(folder + "\\" + base_name + ".docx", &attributes) == kSuccess);
  }
  std::vector<std::pair<std::string, std::string>> calls;
  std::vector<bool> companion_present;

 private:
  platform::FileSystem& files_;
};

class FileTreeOperationsTest : public ::testing::Test {
 protected:
  explicit FileTreeOperationsTest(const sim::Json& patch = sim::Json::object()) : machine_(patch) {}

  platform::FileSystem& files() { return machine_.platform().files(); }
  void Lock(const std::string& path) {
    machine_.machine().store().Write(
        "locks.json", {{"locks", sim::Json::array({{{"path", path}, {"share", 0}}})}});
  }
  void MakeFolder(const std::string& path) { ASSERT_EQ(files().MakeFolder(path), kSuccess); }
  uint32_t Attributes(const std::string& path) {
    uint32_t attributes = 0;
    return files().ReadAttributes(path, &attributes) == kSuccess ? attributes
                                                                 : platform::kInvalidAttributes;
  }

  testing::SimTestMachine machine_;
  EngineState state_;
  RecordingCleanup cleanup_{machine_.platform().files()};
  FileTreeOperations trees_{machine_.platform(), state_, cleanup_};
};

TEST_F(FileTreeOperationsTest, CopyMakesEmptyFoldersAndCopiesEveryFile) {
  machine_.PutFile("C:\\S\\a.txt", "a");
  machine_.PutFile("C:\\S\\Sub\\b.txt", "b");
  MakeFolder("C:\\S\\Empty");
  MakeFolder("C:\\T");

  CopyOutcome outcome = trees_.CopyTree("C:\\S", "C:\\T");
  EXPECT_EQ(outcome.Code(), 0);
  EXPECT_EQ(machine_.ReadFile("C:\\T\\a.txt"), "a");
  EXPECT_EQ(machine_.ReadFile("C:\\T\\Sub\\b.txt"), "b");
  EXPECT_NE(Attributes("C:\\T\\Empty") & platform::kAttrDirectory, 0u);
  EXPECT_TRUE(cleanup_.calls.empty());
}

TEST_F(FileTreeOperationsTest, LockedDocumentIsListedAndCleanedAfterItsFolder) {
  machine_.PutFile("C:\\S\\Inbox\\Inv1.pdf", "pdf");
  machine_.PutFile("C:\\S\\Inbox\\inv1.xml", "xml");
  machine_.PutFile("C:\\S\\Inbox\\inv1.docx", "docx");
  machine_.PutFile("C:\\S\\Inbox\\zz.txt", "later");
  MakeFolder("C:\\T");
  Lock("C:\\S\\Inbox\\Inv1.pdf");

  CopyOutcome outcome = trees_.CopyTree("C:\\S", "C:\\T");
  EXPECT_EQ(outcome.Code(), 1);
  EXPECT_EQ(outcome.locked, 1);
  EXPECT_FALSE(outcome.HasUnexpectedFailures());
  EXPECT_EQ(state_.locked_file_count, 1);
  EXPECT_EQ(state_.locked_documents, std::vector<std::string>{"c:\\s\\inbox\\inv1.pdf"});
  EXPECT_EQ(state_.original_files, std::vector<std::string>{"c:\\s\\inbox\\inv1.docx"});
  EXPECT_EQ(state_.latest_locked_source_folder, "C:\\S\\Inbox");
  ASSERT_EQ(cleanup_.calls.size(), 1u);
  EXPECT_EQ(cleanup_.calls[0], std::make_pair(std::string("C:\\T\\Inbox"), std::string("Inv1")));
  EXPECT_TRUE(cleanup_.companion_present[0]) << "the cleanup ran before the folder was done";
  EXPECT_FALSE(machine_.Exists("C:\\T\\Inbox\\Inv1.pdf"));
  EXPECT_EQ(machine_.ReadFile("C:\\T\\Inbox\\zz.txt"), "later");
}

TEST_F(FileTreeOperationsTest, LockedFilesNameTheirOwnDocumentWhateverTheirDots) {
  // Each held file names its document by the name before its last extension; a name with
  // several dots, a version file and names without an extension keep what is theirs.
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Memo.2024.pdf", "Memo.2024"},
      {"Report v1.2.final.docx", "Report v1.2.final"},
      {"Memo$#version3.pdf", "Memo$#version3"},
      {"README", "README"},
      {".profile", ".profile"}};
  std::vector<sim::Json> locks;
  for (const auto& [file, document] : cases) {
    machine_.PutFile("C:\\S\\" + file, "held");
    locks.push_back({{"path", "C:\\S\\" + file}, {"share", 0}});
  }
  machine_.PutFile("C:\\S\\Memo.docx", "another document");
  machine_.machine().store().Write("locks.json", {{"locks", locks}});
  MakeFolder("C:\\T");

  CopyOutcome outcome = trees_.CopyTree("C:\\S", "C:\\T");
  EXPECT_EQ(outcome.locked, static_cast<int>(cases.size()));
  std::vector<std::string> stems;
  for (const auto& call : cleanup_.calls) stems.push_back(call.second);
  std::vector<std::string> expected;
  for (const auto& entry : cases) expected.push_back(entry.second);
  std::sort(stems.begin(), stems.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(stems, expected);
  EXPECT_EQ(machine_.ReadFile("C:\\T\\Memo.docx"), "another document");
}

TEST_F(FileTreeOperationsTest, FailuresOtherThanLocksAreToldApart) {
  machine_.PutFile("C:\\S\\full.pdf", "x");
  machine_.PutFile("C:\\S\\Hidden\\secret.txt", "y");
  MakeFolder("C:\\T");
  machine_.machine().faults().AddRule("FileSystem.Copy", 1, platform::kErrorDiskFull,
                                      "*\\full.pdf");
  CopyOutcome outcome = trees_.CopyTree("C:\\S", "C:\\T");
  EXPECT_EQ(outcome.Code(), 1);
  EXPECT_TRUE(outcome.HasUnexpectedFailures());
  EXPECT_EQ(state_.locked_file_count, 0) << "a full disk is no locked document";
  EXPECT_TRUE(cleanup_.calls.empty());

  machine_.machine().faults().Clear();
  ASSERT_TRUE(trees_.RemoveTree("C:\\T"));
  MakeFolder("C:\\T");
  machine_.machine().faults().AddRule("FileSystem.Find", 1, platform::kErrorAccessDenied,
                                      "*\\Hidden\\*", 0);
  EXPECT_TRUE(trees_.CopyTree("C:\\S", "C:\\T").HasUnexpectedFailures())
      << "a folder that cannot be listed";
}

TEST_F(FileTreeOperationsTest, CopyRefusesOverlongPathsAndNeverCopiesItsOwnTarget) {
  const std::string deep = "C:\\S\\" + std::string(240, 'd');
  machine_.PutFile(deep + "\\f.txt", "deep");
  machine_.PutFile("C:\\S\\Work\\old.txt", "work");
  MakeFolder("C:\\S\\Work\\Copy");
  // The source path fits, its copy below the target would not.
  CopyOutcome outcome = trees_.CopyTree("C:\\S", "C:\\S\\Work\\Copy", "C:\\S\\Work");
  EXPECT_TRUE(outcome.HasUnexpectedFailures()) << "the over-long path is a failure";
  EXPECT_FALSE(machine_.Exists("C:\\S\\Work\\Copy\\Work"));
}

TEST_F(FileTreeOperationsTest, OriginalDocumentPrefersTheFiledFormat) {
  machine_.PutFile("C:\\F\\inv1.pdf", "p");
  machine_.PutFile("C:\\F\\inv1.xml", "x");
  EXPECT_EQ(trees_.OriginalDocument("C:\\F", "inv1.pdf"), "C:\\F\\inv1.pdf");
  machine_.PutFile("C:\\F\\inv1.DOCX", "d");
  EXPECT_EQ(trees_.OriginalDocument("C:\\F", "inv1.pdf"), "C:\\F\\inv1.docx");
}

TEST_F(FileTreeOperationsTest, OpenPdfCheckFindsHeldPdfsAndCreatesNothing) {
  machine_.PutFile("C:\\R\\QDW\\a.pdf", "a");
  machine_.PutFile("C:\\R\\QDW\\Sub\\held.PDF", "held");
  machine_.PutFile("C:\\R\\QDW\\Sub\\held.docx", "docx");
  auto before = testing::SnapshotTree(machine_.HostPath("C:\\R"));
  EXPECT_FALSE(trees_.HasOpenPdf("C:\\R\\QDW"));

  Lock("C:\\R\\QDW\\Sub\\held.PDF");
  EXPECT_TRUE(trees_.HasOpenPdf("C:\\R\\QDW"));
  EXPECT_EQ(state_.open_pdfs, std::vector<std::string>{"held.PDF"});
  EXPECT_TRUE(trees_.HasOpenPdf("C:\\R\\Missing")) << "an unlistable folder reports the list";
  EXPECT_EQ(testing::SnapshotTree(machine_.HostPath("C:\\R")), before);
}

TEST_F(FileTreeOperationsTest, ReadOnlyFileStopsRemovalUnlessClearingIsAsked) {
  machine_.PutFile("C:\\W\\A\\a.txt", "a");
  machine_.PutFile("C:\\W\\B\\ro.txt", "ro");
  machine_.PutFile("C:\\W\\C\\c.txt", "c");
  ASSERT_EQ(files().WriteAttributes("C:\\W\\B\\ro.txt", platform::kAttrReadOnly), kSuccess);

  EXPECT_FALSE(trees_.RemoveTree("C:\\W"));
  EXPECT_TRUE(machine_.Exists("C:\\W\\B\\ro.txt"));
  EXPECT_EQ(state_.undeletable_files, std::vector<std::string>{"C:\\W\\B\\ro.txt"});

  EXPECT_TRUE(trees_.RemoveTree("C:\\W", ReadOnlyHandling::kClear));
  EXPECT_FALSE(machine_.Exists("C:\\W"));
  EXPECT_FALSE(trees_.RemoveTree("C:\\W")) << "a missing folder cannot be listed";
}

TEST_F(FileTreeOperationsTest, MarkersGoIntoEverySubfolderAndComeOutAgain) {
  MakeFolder("C:\\W");
  MakeFolder("C:\\W\\A");
  MakeFolder("C:\\W\\A\\B");
  machine_.PutFile("C:\\W\\A\\B\\Other_QDW2.qkb", "keep");
  ASSERT_TRUE(trees_.MarkFolders("C:\\W"));
  EXPECT_FALSE(machine_.Exists("C:\\W\\VarnoldBackup_QDW2.qkb"));
  EXPECT_TRUE(machine_.Exists("C:\\W\\A\\VarnoldBackup_QDW2.qkb"));
  EXPECT_TRUE(machine_.Exists("C:\\W\\A\\B\\VarnoldBackup_QDW2.qkb"));
  EXPECT_EQ(machine_.ReadFile("C:\\W\\A\\VarnoldBackup_QDW2.qkb"), "");

  ASSERT_TRUE(trees_.RemoveMarkers("C:\\W"));
  EXPECT_FALSE(machine_.Exists("C:\\W\\A\\VarnoldBackup_QDW2.qkb"));
  EXPECT_FALSE(machine_.Exists("C:\\W\\A\\B\\VarnoldBackup_QDW2.qkb"));
  EXPECT_TRUE(machine_.Exists("C:\\W\\A\\B\\Other_QDW2.qkb"));
  EXPECT_FALSE(trees_.MarkFolders("C:\\Missing"));
}

TEST_F(FileTreeOperationsTest, MarkerThatCannotBeWrittenEndsTheStep) {
  MakeFolder("C:\\W");
  MakeFolder("C:\\W\\A");
  machine_.machine().faults().AddRule("FileSystem.Open", 1, platform::kErrorDiskFull, "*.qkb");
  EXPECT_THROW(trees_.MarkFolders("C:\\W"), engine::FrameworkError);
}

// The stand-in machine reports Windows 7 (6.1), so files are copied and then deleted.
TEST_F(FileTreeOperationsTest, WindowsSevenMoveHidesDollarFoldersAndEmptiesTheSource) {
  machine_.PutFile("C:\\S\\Data$#\\v1.pdf", "v1");
  machine_.PutFile("C:\\S\\Plain\\p.txt", "p");
  machine_.PutFile("C:\\S\\ro.txt", "ro");
  ASSERT_EQ(files().WriteAttributes("C:\\S\\ro.txt", platform::kAttrReadOnly), kSuccess);
  MakeFolder("C:\\T");
  // The bar goes on through the deletes: while the last file deleted is still there, and after.
  struct WatchingProgress : testing::RecordingProgress {
    explicit WatchingProgress(testing::SimTestMachine& m) : machine(m) {}
    void Advance(uint64_t done) override {
      RecordingProgress::Advance(done);
      source_left.push_back(machine.Exists("C:\\S\\ro.txt"));
    }
    testing::SimTestMachine& machine;
    std::vector<bool> source_left;
  } progress(machine_);
  const ProgressStep placing{ProgressPhase::kPutInPlace};
  progress.Begin(placing, 3);
  ProgressCounter moved(progress, placing, 3);
  {
    CountedTreeWork counted(trees_, moved);
    EXPECT_EQ(trees_.MoveTree("C:\\S", "C:\\T"), 0);
  }
  EXPECT_EQ(moved.done(), 3u);
  EXPECT_EQ(progress.source_left, (std::vector<bool>{true, true, false}));
  EXPECT_NE(Attributes("C:\\T\\Data$#") & platform::kAttrHidden, 0u);
  EXPECT_EQ(Attributes("C:\\T\\Plain") & platform::kAttrHidden, 0u);
  EXPECT_EQ(machine_.ReadFile("C:\\T\\Data$#\\v1.pdf"), "v1");
  EXPECT_EQ(machine_.ReadFile("C:\\T\\ro.txt"), "ro");
  EXPECT_FALSE(machine_.Exists("C:\\S")) << "a read-only file must not keep the source";
}

TEST_F(FileTreeOperationsTest, WindowsSevenMoveRaises202AndKeepsWhatWasNotMoved) {
  machine_.PutFile("C:\\S\\a.txt", "a");
  MakeFolder("C:\\T");
  machine_.machine().faults().AddRule("FileSystem.Copy", 1, platform::kErrorDiskFull);
  EXPECT_EQ(testing::RaisedResultCode([&] { trees_.MoveTree("C:\\S", "C:\\T"); }), 202);
  EXPECT_EQ(machine_.ReadFile("C:\\S\\a.txt"), "a");

  // A source that cannot be deleted also fails, and only after every copy is made.
  machine_.machine().faults().Clear();
  machine_.PutFile("C:\\S\\Sub\\b.txt", "b");
  machine_.machine().faults().AddRule("FileSystem.Delete", 1, platform::kErrorAccessDenied);
  EXPECT_EQ(testing::RaisedResultCode([&] { trees_.MoveTree("C:\\S", "C:\\T"); }), 202);
  EXPECT_EQ(machine_.ReadFile("C:\\T\\a.txt"), "a");
  EXPECT_EQ(machine_.ReadFile("C:\\T\\Sub\\b.txt"), "b");
  EXPECT_TRUE(machine_.Exists("C:\\S")) << "a folder whose files are not all gone stays";
}

// A tree holding a junction to a folder outside it, walked by every tree operation: none enters
// the junction, so the outside folder keeps every file, and gains none, throughout.
TEST_F(FileTreeOperationsTest, EveryWalkLeavesAJunctionsTargetAlone) {
  machine_.PutFile("C:\\Outside\\held.pdf", "held");
  machine_.PutFile("C:\\Outside\\Deep\\d.txt", "deep");
  machine_.PutFile("C:\\S\\Sub\\s.txt", "s");
  ASSERT_EQ(sim::MakeSimJunction(machine_.machine(), "C:\\S\\Sub\\Link", "C:\\Outside"), kSuccess);
  const auto outside = testing::SnapshotTree(machine_.HostPath("C:\\Outside"));
  Lock("C:\\Outside\\held.pdf");

  EXPECT_FALSE(trees_.HasOpenPdf("C:\\S"));
  MakeFolder("C:\\T");
  EXPECT_EQ(trees_.CopyTree("C:\\S", "C:\\T").Code(), 0);
  EXPECT_EQ(machine_.ReadFile("C:\\T\\Sub\\s.txt"), "s");
  EXPECT_FALSE(machine_.Exists("C:\\T\\Sub\\Link")) << "the archive cannot hold a link";
  ASSERT_TRUE(trees_.MarkFolders("C:\\S"));
  ASSERT_TRUE(trees_.RemoveMarkers("C:\\S"));
  EXPECT_EQ(testing::SnapshotTree(machine_.HostPath("C:\\Outside")), outside);

  // A move carries the link itself; removals take the link, inside a tree or as the tree.
  MakeFolder("C:\\M");
  EXPECT_EQ(trees_.MoveTree("C:\\S", "C:\\M"), 0);
  EXPECT_EQ(Attributes("C:\\M\\Sub\\Link") & platform::kAttrReparsePoint,
            platform::kAttrReparsePoint);
  EXPECT_TRUE(trees_.RemoveTree("C:\\M"));
  EXPECT_FALSE(machine_.Exists("C:\\M"));
  ASSERT_EQ(sim::MakeSimJunction(machine_.machine(), "C:\\Link", "C:\\Outside"), kSuccess);
  EXPECT_TRUE(trees_.RemoveTree("C:\\Link", ReadOnlyHandling::kClear));
  EXPECT_EQ(Attributes("C:\\Link"), platform::kInvalidAttributes);
  machine_.machine().store().Write("locks.json", {{"locks", sim::Json::array()}});
  EXPECT_EQ(testing::SnapshotTree(machine_.HostPath("C:\\Outside")), outside);
}

class EarlierWindowsMoveTest : public FileTreeOperationsTest {
 protected:
  EarlierWindowsMoveTest() : FileTreeOperationsTest({{"os_version", {{"minor", 0}}}}) {}
};

TEST_F(EarlierWindowsMoveTest, SourceStaysWhenAnEntryCouldNotBeMoved) {
  machine_.PutFile("C:\\S\\a.txt", "a");
  machine_.PutFile("C:\\S\\b.txt", "b");
  machine_.PutFile("C:\\T\\b.txt", "existing");
  EXPECT_EQ(trees_.MoveTree("C:\\S", "C:\\T"), 1);
  EXPECT_EQ(machine_.ReadFile("C:\\T\\a.txt"), "a");
  EXPECT_EQ(machine_.ReadFile("C:\\T\\b.txt"), "existing");
  EXPECT_EQ(machine_.ReadFile("C:\\S\\b.txt"), "b") << "the unmoved file was deleted";
}

TEST(EngineStateTest, ABackupRunBeginsWithoutTheLockedFilesAndMergedFoldersOfTheLast) {
  EngineState state;
  state.merged_folders.Append("3", "Merged");
  state.locked_file_count = 2;
  state.locked_documents.push_back("c:\\a.pdf");
  state.undeletable_files.push_back("C:\\kept.txt");
  state.BeginBackupRun();
  EXPECT_EQ(state.merged_folders.size(), 0u);
  EXPECT_EQ(state.locked_file_count, 0);
  EXPECT_TRUE(state.locked_documents.empty());
  EXPECT_EQ(state.undeletable_files.size(), 1u) << "the restore reads what every removal left";
}

}  // namespace
}  // namespace qdw::engine
