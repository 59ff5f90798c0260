// CDataBase on a hand-made live database of the installed product.
#include "database/folder_table_updates.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "database/database_paths.h"
#include "tests/database/database_test_machine.h"

namespace qdw::database {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kRepository[] = "C:\\Repo";
constexpr char kTeam[] = "C:\\Repo\\VARNOLD\\QDW\\Team Share";
constexpr char kObrien[] = "C:\\Repo\\VARNOLD\\QDW\\O'Brien";

class FolderTableUpdatesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = LiveDatabasePath(kRepository);
    m_.MakeDatabase(
        db_,
        {"INSERT INTO qln_folder VALUES (1, 0, 'QDW', 'C:\\Repo\\VARNOLD\\QDW', 0, 0, 0)",
         std::string("INSERT INTO qln_folder VALUES (2, 1, 'Team Share', '") + kTeam +
             "', 1, 0, 1)",
         "INSERT INTO qln_folder VALUES (3, 2, 'Scans', '', 0, 0, 0)",
         "INSERT INTO qln_folder VALUES (4, 1, 'Outside', 'D:\\Outside', 1, 0, 1)",
         "INSERT INTO qln_folder VALUES (5, 1, 'Anna', '\\\\PC\\Anna', 1, 1, 0)",
         "INSERT INTO qln_folder VALUES (6, 1, 'Plain', '', 0, 0, 0)",
         "INSERT INTO qln_folder VALUES (7, 1, 'O''Brien', 'C:\\Repo\\VARNOLD\\QDW\\O''Brien', "
         "1, 0, 1)",
         "INSERT INTO qln_file_properties (id, folder__id, pdf_name) VALUES (10, 3, 'a')",
         "INSERT INTO qln_file_properties (id, folder__id, pdf_name) VALUES (11, 4, 'b')",
         "INSERT INTO qln_file_properties (id, folder__id, pdf_name) VALUES (12, 6, 'c')",
         "INSERT INTO qln_binder VALUES (1, 1, 4)", "INSERT INTO qln_binder VALUES (2, 1, 6)",
         "INSERT INTO qln_merged_files VALUES (11, 4, 'p', 'pdf', 0)"});
  }

  CDataBase Db(std::string repository = kRepository) {
    return CDataBase(m_.databases(), [repository](std::string* path) {
      *path = repository;
      return !repository.empty();
    });
  }

  std::vector<std::vector<std::string>> Folders() {
    return m_.Rows(db_, "SELECT * FROM qln_folder ORDER BY id",
                   {"id", "name", "path", "shared", "share_type", "IsShareCreator"});
  }

  // Makes every statement that would name a folder "Boom" fail, as a driver error would.
  void RefuseName(const std::string& name) {
    m_.Execute(db_, {"CREATE TRIGGER refuse BEFORE UPDATE ON qln_folder WHEN NEW.name = '" + name +
                     "' BEGIN SELECT RAISE(ABORT, 'refused'); END"});
  }

  testing::DatabaseTestMachine m_;
  std::string db_;
};

TEST_F(FolderTableUpdatesTest, ListSharedFolderTree) {
  StringList ids = {"stale"};
  ASSERT_TRUE(Db().ListSharedFolderTree(&ids));
  // Roots in table order (share type 1 is no root), then the folders below them.
  EXPECT_THAT(ids, ElementsAre("2", "4", "7", "3"));
}

TEST_F(FolderTableUpdatesTest, ListSharedFolderTreeSurvivesAParentCycle) {
  m_.Execute(db_, {"INSERT INTO qln_folder VALUES (8, 9, 'Loop', '', 1, 0, 0)",
                   "INSERT INTO qln_folder VALUES (9, 8, 'Pool', '', 0, 0, 0)"});
  StringList ids;
  ASSERT_TRUE(Db().ListSharedFolderTree(&ids));
  EXPECT_THAT(ids, ElementsAre("2", "4", "7", "8", "3", "9"));
}

TEST_F(FolderTableUpdatesTest, UnusableDatabaseLeavesTheListAsItWas) {
  StringList ids = {"kept"};
  EXPECT_FALSE(Db("").ListSharedFolderTree(&ids));
  EXPECT_FALSE(Db("C:\\Nowhere").ListSharedFolderTree(&ids));
  EXPECT_THAT(ids, ElementsAre("kept"));
  EXPECT_FALSE(Db("C:\\Nowhere").RenameFolderRecords({}, {}, {}, {}));
  EXPECT_FALSE(Db("C:\\Nowhere").DeleteSharedFolderRecords());
}

TEST_F(FolderTableUpdatesTest, RenameRewritesNamesAndPathsQuotesIncluded) {
  ASSERT_TRUE(Db().RenameFolderRecords({"Team Share", "O'Brien"}, {kTeam, kObrien},
                                       {"Team Share_bak", "O'Brien's"},
                                       {"E:\\Team", "E:\\O'Brien's"}));
  auto folders = Folders();
  EXPECT_THAT(folders[1], ElementsAre("2", "Team Share_bak", "E:\\Team", "1", "0", "1"));
  EXPECT_THAT(folders[6], ElementsAre("7", "O'Brien's", "E:\\O'Brien's", "1", "0", "1"));
  EXPECT_THAT(folders[3], ElementsAre("4", "Outside", "D:\\Outside", "1", "0", "1"));
}

TEST_F(FolderTableUpdatesTest, RenameWithTheSameListsChangesNothingAndEmptyListsCommit) {
  auto before = Folders();
  ASSERT_TRUE(Db().RenameFolderRecords({"Team Share"}, {kTeam}, {"Team Share"}, {kTeam}));
  ASSERT_TRUE(Db().RenameFolderRecords({}, {}, {}, {}));
  EXPECT_EQ(Folders(), before);
  EXPECT_FALSE(Db().RenameFolderRecords({"a", "b"}, {"x"}, {"a", "b"}, {"x", "y"}));
}

TEST_F(FolderTableUpdatesTest, RenameFailingPartWayLeavesTheTableUnchanged) {
  RefuseName("Boom");
  auto before = Folders();
  EXPECT_FALSE(Db().RenameFolderRecords({"Team Share", "Outside"}, {kTeam, "D:\\Outside"},
                                        {"Renamed", "Boom"}, {"E:\\R", "E:\\B"}));
  EXPECT_EQ(Folders(), before);
}

TEST_F(FolderTableUpdatesTest, UnshareInsideRepositoryIgnoringCaseAndListTheOthers) {
  StringList outside = {"stale"};
  ASSERT_TRUE(Db().UnshareFolderRecords(
      {"Team Share", "Outside", "O'Brien"},
      {"c:\\repo\\varnold\\qdw\\team share", "D:\\Outside", kObrien}, &outside));
  EXPECT_THAT(outside, ElementsAre("Outside"));
  auto folders = Folders();
  EXPECT_THAT(folders[1], ElementsAre("2", "Team Share", "Team Share", "0", "-1", "0"));
  EXPECT_THAT(folders[6], ElementsAre("7", "O'Brien", "O'Brien", "0", "-1", "0"));
  EXPECT_THAT(folders[3], ElementsAre("4", "Outside", "D:\\Outside", "1", "0", "1"));
}

TEST_F(FolderTableUpdatesTest, UnshareFailingPartWayLeavesTheTableUnchanged) {
  m_.Execute(db_, {"CREATE TRIGGER refuse BEFORE UPDATE ON qln_folder WHEN OLD.id = 7 "
                   "BEGIN SELECT RAISE(ABORT, 'refused'); END"});
  auto before = Folders();
  StringList outside;
  EXPECT_FALSE(Db().UnshareFolderRecords({"Team Share", "O'Brien"}, {kTeam, kObrien}, &outside));
  EXPECT_EQ(Folders(), before);
}

TEST_F(FolderTableUpdatesTest, DeleteSharedFoldersWithTheirDocumentsBindersAndParts) {
  ASSERT_TRUE(Db().DeleteSharedFolderRecords());
  EXPECT_THAT(m_.Column(db_, "SELECT * FROM qln_folder ORDER BY id", "id"),
              ElementsAre("1", "5", "6"));
  EXPECT_THAT(m_.Column(db_, "SELECT * FROM qln_file_properties", "id"), ElementsAre("12"));
  EXPECT_THAT(m_.Column(db_, "SELECT * FROM qln_binder", "id"), ElementsAre("2"));
  EXPECT_THAT(m_.Column(db_, "SELECT * FROM qln_merged_files", "folder__id"), IsEmpty());
}

TEST_F(FolderTableUpdatesTest, DeleteFailingPartWayLeavesEveryTableUnchanged) {
  m_.Execute(db_, {"CREATE TRIGGER refuse BEFORE DELETE ON qln_binder "
                   "BEGIN SELECT RAISE(ABORT, 'refused'); END"});
  EXPECT_FALSE(Db().DeleteSharedFolderRecords());
  EXPECT_EQ(m_.Count(db_, "SELECT * FROM qln_folder"), 7u);
  EXPECT_EQ(m_.Count(db_, "SELECT * FROM qln_file_properties"), 3u);
  EXPECT_EQ(m_.Count(db_, "SELECT * FROM qln_merged_files"), 1u);
}

TEST_F(FolderTableUpdatesTest, FailedCommitReportsFalseAndChangesNothing) {
  m_.sim().machine().faults().AddRule("Database.Commit", 1, 5);
  auto before = Folders();
  EXPECT_FALSE(Db().RenameFolderRecords({"Team Share"}, {kTeam}, {"New"}, {"E:\\New"}));
  EXPECT_EQ(Folders(), before);
}

}  // namespace
}  // namespace qdw::database
