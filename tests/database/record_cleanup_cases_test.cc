// The record cleanup on small hand-made working copies, one case of the product's data each.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "database/database_paths.h"
#include "database/process_connection.h"
#include "database/record_cleanup.h"
#include "tests/database/database_test_machine.h"

namespace qdw::database {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kRoot[] = "C:\\W\\QDW";
constexpr char kClients[] = "C:\\W\\QDW\\Clients";
constexpr char kObrien[] = "C:\\W\\QDW\\Clients\\O'Brien & Sons";

std::string Doc(const std::string& id, const std::string& folder, const std::string& pdf_name,
                const std::string& original, const std::string& extension, int is_open,
                int merged = 0, const std::string& binder = "0",
                const std::string& versions = "0") {
  return "INSERT INTO qln_file_properties (id, folder__id, pdf_name, original_file_name, "
         "original_file_extension, is_open, merged, binder__id, total_versions) VALUES (" +
         id + ", " + folder + ", '" + pdf_name + "', '" + original + "', '" + extension + "', " +
         std::to_string(is_open) + ", " + std::to_string(merged) + ", " + binder + ", " + versions +
         ")";
}

class RecordCleanupCasesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = DatabasePathUnder(kRoot);
    folders_ = {"INSERT INTO qln_folder VALUES (1, 0, 'QDW', 'C:\\W\\QDW', 0, 0, 0)",
                "INSERT INTO qln_folder VALUES (2, 1, 'Clients', 'C:\\W\\QDW\\Clients', 0, 0, 0)",
                "INSERT INTO qln_folder VALUES (3, 2, 'O''Brien & Sons', '', 0, 0, 0)",
                "INSERT INTO qln_folder VALUES (4, 1, 'Remote', '\\\\PC\\Remote', 1, 1, 0)",
                "INSERT INTO qln_folder VALUES (5, 6, 'Loop A', '', 0, 0, 0)",
                "INSERT INTO qln_folder VALUES (6, 5, 'Loop B', '', 0, 0, 0)"};
  }

  void Build(const std::vector<std::string>& rows, const std::vector<std::string>& files) {
    std::vector<std::string> all = folders_;
    all.insert(all.end(), rows.begin(), rows.end());
    m_.MakeDatabase(db_, all);
    for (const std::string& file : files) m_.sim().PutFile(file, "x");
  }

  void Remove(const std::string& directory, const std::string& base_name) {
    RecordCleanup cleanup(m_.files(), m_.databases(), working_root_, merged_, nullptr);
    EXPECT_TRUE(cleanup.RemoveLockedDocument(directory, base_name));
  }

  std::vector<std::string> Ids(const std::string& table) {
    return m_.Column(db_, "SELECT * FROM " + table + " ORDER BY id", "id");
  }

  testing::DatabaseTestMachine m_;
  std::string working_root_ = kRoot;
  MergedFolderList merged_;
  std::string db_;
  std::vector<std::string> folders_;
};

TEST_F(RecordCleanupCasesTest, MergedDocumentWithQuotedNamesAndMarkedParts) {
  const std::string d = kObrien;
  Build({Doc("10", "3", "Merged O''Brien", "Merged O''Brien", "pdf", 0, 1),
         Doc("11", "3", "Client''s brief", "Client''s brief", "docx", 0),
         Doc("12", "3", "O''Brien scan", "", "", 0), Doc("13", "3", "Other", "", "", 0),
         Doc("14", "2", "Client''s brief", "Client''s brief", "docx", 0),
         "INSERT INTO qln_merged_files VALUES (10, 3, 'Client''s brief', 'docx', 0)",
         "INSERT INTO qln_merged_files VALUES (10, 3, 'O''Brien scan$_#', 'PDF', 0)"},
        {d + "\\Merged O'Brien.pdf", d + "\\Merged O'Brien.xml", d + "\\Client's brief.docx",
         d + "\\Client's brief.pdf", d + "\\O'Brien scan.pdf", d + "\\O'Brien scan$_#.pdf",
         d + "\\Other.pdf", std::string(kClients) + "\\Client's brief.docx"});

  Remove(d, "Merged O'Brien");

  // The merged document, its part rows and the documents of both parts are gone; the
  // same-named document of another folder and the unrelated one stay.
  EXPECT_THAT(Ids("qln_file_properties"), ElementsAre("13", "14"));
  EXPECT_EQ(m_.Count(db_, "SELECT * FROM qln_merged_files"), 0u);
  for (const char* gone : {"\\Merged O'Brien.pdf", "\\Merged O'Brien.xml", "\\Client's brief.docx",
                           "\\O'Brien scan.pdf", "\\O'Brien scan$_#.pdf"}) {
    EXPECT_FALSE(m_.Exists(d + gone)) << gone;
  }
  EXPECT_TRUE(m_.Exists(d + "\\Other.pdf"));
  EXPECT_TRUE(m_.Exists(std::string(kClients) + "\\Client's brief.docx"));
  EXPECT_THAT(merged_.names, ElementsAre("Merged O'Brien"));
}

TEST_F(RecordCleanupCasesTest, FileKeptUnderATopLevelFolderOfShareTypeOtherThanZero) {
  const std::string remote = std::string(kRoot) + "\\Remote";
  Build({Doc("20", "4", "Remote doc", "Remote doc", "odt", 1),
         Doc("21", "2", "Local doc", "Local doc", "odt", 1)},
        {remote + "\\Remote doc.odt", std::string(kClients) + "\\Local doc.odt"});
  Remove(remote, "Remote doc");
  Remove(kClients, "Local doc");
  EXPECT_TRUE(m_.Exists(remote + "\\Remote doc.odt"));
  EXPECT_FALSE(m_.Exists(std::string(kClients) + "\\Local doc.odt"));
  EXPECT_THAT(Ids("qln_file_properties"), IsEmpty());
}

TEST_F(RecordCleanupCasesTest, FolderChainThatLoopsEndsAndStillDropsTheRows) {
  const std::string loop = std::string(kRoot) + "\\Loop";
  Build({Doc("30", "5", "Looped", "Looped", "odt", 1), Doc("31", "2", "Kept", "", "", 0)},
        {loop + "\\Looped.odt"});
  Remove(loop, "Looped");
  EXPECT_THAT(Ids("qln_file_properties"), ElementsAre("31"));
  EXPECT_TRUE(m_.Exists(loop + "\\Looped.odt"));  // its folder could not be confirmed
}

TEST_F(RecordCleanupCasesTest, EveryOpenRowOfTheNameInTheFolderGoesInOneScanNameIsCaseSensitive) {
  // 41 is a same-named document of another folder: its files are in the archive, so its row
  // stays with them.
  Build({Doc("40", "2", "Dup", "", "", 1), Doc("41", "3", "Dup", "", "", 1),
         Doc("42", "2", "dup", "", "", 1), Doc("43", "2", "Dup", "", "", 0),
         Doc("44", "2", "Dup", "", "", 1)},
        {});
  Remove(kClients, "Dup");
  EXPECT_THAT(Ids("qln_file_properties"), ElementsAre("41", "42", "43"));
}

TEST_F(RecordCleanupCasesTest, ADottedDocumentNameTakesNothingOfItsNamesakes) {
  const std::string c = kClients;
  const std::string o = kObrien;
  Build({Doc("100", "2", "Memo", "Memo", "docx", 1), Doc("101", "2", "Memo.2024", "", "", 1),
         Doc("102", "3", "Memo.2024", "", "", 1)},
        {c + "\\Memo.docx", c + "\\Memo.pdf", c + "\\Memo.xml", c + "\\Memo$#\\a.xml",
         c + "\\Memo.2024.xml", o + "\\Memo.2024.pdf", o + "\\Memo.2024.xml"});
  Remove(c, "Memo.2024");
  EXPECT_THAT(Ids("qln_file_properties"), ElementsAre("100", "102"));
  EXPECT_FALSE(m_.Exists(c + "\\Memo.2024.xml"));
  for (const std::string& kept : {c + "\\Memo.docx", c + "\\Memo.pdf", c + "\\Memo.xml",
                                  c + "\\Memo$#\\a.xml", o + "\\Memo.2024.pdf",
                                  o + "\\Memo.2024.xml"}) {
    EXPECT_TRUE(m_.Exists(kept)) << kept;
  }
}

TEST_F(RecordCleanupCasesTest, BinderCounts) {
  Build({Doc("50", "2", "B50", "", "", 1, 0, "1"), Doc("51", "2", "B51", "", "", 1, 0, "2"),
         Doc("52", "2", "B52", "", "", 1, 0, "3"), "INSERT INTO qln_binder VALUES (1, 5, 2)",
         "INSERT INTO qln_binder VALUES (2, 0, 2)", "INSERT INTO qln_binder VALUES (3, 1, 2)"},
        {});
  for (const char* name : {"B50", "B51", "B52"}) Remove(kClients, name);
  EXPECT_THAT(m_.Rows(db_, "SELECT * FROM qln_binder ORDER BY id", {"id", "total_files"}),
              ElementsAre(ElementsAre("1", "4"), ElementsAre("2", "0")));
  EXPECT_THAT(Ids("qln_file_properties"), IsEmpty());
}

TEST_F(RecordCleanupCasesTest, VersionsUpToTheCountAndNoneForZero) {
  const std::string c = kClients;
  Build(
      {Doc("60", "2", "V60", "V60", "odt", 1, 0, "0", "3"),
       Doc("61", "2", "V61", "V61", "odt", 1, 0, "0", "0"),
       Doc("62", "2", "V600", "V600", "odt", 0, 0, "0", "1"),
       "INSERT INTO qln_file_version VALUES (7, 60)", "INSERT INTO qln_file_version VALUES (8, 60)",
       "INSERT INTO qln_file_version VALUES (9, 61)",
       "INSERT INTO qln_file_version VALUES (10, 62)"},
      {c + "\\V60$#version7.pdf", c + "\\V60$#version7.odt", c + "\\V60$#version8.xml",
       c + "\\V60$#version8$#\\p.png", c + "\\V60$#version99.tmp", c + "\\V61$#version9.pdf",
       c + "\\V600$#version10.pdf"});
  Remove(c, "V60");
  Remove(c, "V61");
  EXPECT_THAT(Ids("qln_file_version"), ElementsAre("9", "10"));
  for (const char* gone : {"\\V60$#version7.pdf", "\\V60$#version7.odt", "\\V60$#version8.xml",
                           "\\V60$#version8$#", "\\V60$#version99.tmp"}) {
    EXPECT_FALSE(m_.Exists(c + gone)) << gone;
  }
  EXPECT_TRUE(m_.Exists(c + "\\V61$#version9.pdf"));
  EXPECT_TRUE(m_.Exists(c + "\\V600$#version10.pdf"));
}

TEST_F(RecordCleanupCasesTest, HostileValuesInTheDatabaseChangeNoStatement) {
  // Text in id columns is never pasted into SQL; the row is still found by its own id.
  Build({"INSERT INTO qln_file_properties VALUES (70, '2 OR 1=1', 'Evil', '', '', 1, 0, "
         "'0 OR 1=1', 0)",
         Doc("71", "2", "Fine", "", "", 0), "INSERT INTO qln_binder VALUES (1, 3, 2)"},
        {});
  Remove(kClients, "Evil");
  EXPECT_THAT(Ids("qln_file_properties"), ElementsAre("71"));
  EXPECT_THAT(m_.Column(db_, "SELECT * FROM qln_binder", "total_files"), ElementsAre("3"));
  EXPECT_EQ(m_.Count(db_, "SELECT * FROM qln_folder"), folders_.size());
}

TEST_F(RecordCleanupCasesTest, RootFolderDocumentsLieInTheCallersDirectory) {
  Build({Doc("80", "1", "At root", "At root", "odt", 1)}, {std::string(kRoot) + "\\At root.odt"});
  Remove(kRoot, "At root");
  EXPECT_FALSE(m_.Exists(std::string(kRoot) + "\\At root.odt"));
  EXPECT_THAT(Ids("qln_file_properties"), IsEmpty());
}

TEST_F(RecordCleanupCasesTest, FailingSubStepDoesNotStopTheDocumentsOwnDeletion) {
  Build({Doc("90", "2", "Bound", "", "", 1, 0, "3"), "INSERT INTO qln_binder VALUES (3, 1, 2)"},
        {});
  m_.sim().machine().faults().AddRule("Database.Execute", 1, 5, "DELETE FROM qln_binder*");
  Remove(kClients, "Bound");
  EXPECT_THAT(Ids("qln_file_properties"), IsEmpty());
  EXPECT_THAT(Ids("qln_binder"), ElementsAre("3"));
}

TEST_F(RecordCleanupCasesTest, FailedDeletionEndsTheScanQuietly) {
  Build({Doc("91", "2", "Twice", "", "", 1), Doc("92", "2", "Twice", "", "", 1)}, {});
  m_.sim().machine().faults().AddRule("Database.Execute", 1, 5, "DELETE FROM qln_file_properties*");
  Remove(kClients, "Twice");
  EXPECT_THAT(Ids("qln_file_properties"), ElementsAre("91", "92"));
  EXPECT_FALSE(ProcessConnection::Instance().IsOpen());
}


}  // namespace
}  // namespace qdw::database
