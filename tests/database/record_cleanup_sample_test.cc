// The record cleanup on a generated repository standing in for the backup's working copy.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "database/record_cleanup.h"
#include "database/sample/sample_repository.h"
#include "tests/database/database_test_machine.h"

namespace qdw::database {
namespace {

using sample::SampleDocument;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class RecordCleanupSampleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(
        sample::GenerateSampleRepository(m_.platform(), "C:\\Work", 4, 1 << 20, &summary_, &error))
        << error;
    working_root_ = summary_.qdw_folder;
    db_ = summary_.database_path;
  }

  RecordCleanup Cleanup() { return RecordCleanup(m_.files(), m_.databases(), working_root_, merged_, nullptr); }

  // The copy of a locked document's PDF failed, so it is missing from the working copy.
  void LockAndRemove(const SampleDocument& doc) {
    m_.files().Delete(doc.directory + "\\" + doc.pdf_name + ".pdf");
    EXPECT_TRUE(Cleanup().RemoveLockedDocument(doc.directory, doc.pdf_name));
  }

  const SampleDocument* Find(std::function<bool(const SampleDocument&)> predicate) {
    for (const SampleDocument& doc : summary_.documents) {
      if (predicate(doc)) return &doc;
    }
    return nullptr;
  }

  void ExpectIntact(const SampleDocument& doc) {
    for (const std::string& file : doc.files) EXPECT_TRUE(m_.Exists(file)) << file;
    EXPECT_EQ(m_.Count(db_, "SELECT * FROM qln_file_properties WHERE id = " + doc.id), 1u)
        << doc.pdf_name;
  }

  testing::DatabaseTestMachine m_;
  sample::SampleSummary summary_;
  std::string working_root_;
  MergedFolderList merged_;
  std::string db_;
};

TEST_F(RecordCleanupSampleTest, LockedDocumentLosesFilesVersionsAndRowsOthersStay) {
  // The first document has an original, its own "$#" folder and two versions.
  const SampleDocument& locked = summary_.documents[0];
  ASSERT_EQ(locked.version_ids.size(), 2u);
  ASSERT_FALSE(locked.folders.empty());
  m_.Execute(db_, {"UPDATE qln_file_properties SET is_open = 1 WHERE id = " + locked.id});

  LockAndRemove(locked);

  for (const std::string& file : locked.files) EXPECT_FALSE(m_.Exists(file)) << file;
  for (const std::string& folder : locked.folders) EXPECT_FALSE(m_.Exists(folder)) << folder;
  EXPECT_EQ(m_.Count(db_, "SELECT * FROM qln_file_properties WHERE id = " + locked.id), 0u);
  EXPECT_EQ(
      m_.Count(db_, "SELECT * FROM qln_file_version WHERE file_properties__id = " + locked.id), 0u);
  EXPECT_EQ(m_.Count(db_, "SELECT * FROM qln_file_properties"), summary_.documents.size() - 1);
  for (size_t i = 1; i < summary_.documents.size(); ++i) ExpectIntact(summary_.documents[i]);
}

TEST_F(RecordCleanupSampleTest, DocumentNeitherOpenNorMergedKeepsItsRows) {
  const SampleDocument* doc = Find(
      [](const SampleDocument& d) { return !d.is_open && !d.merged && !d.original_name.empty(); });
  ASSERT_NE(doc, nullptr);
  LockAndRemove(*doc);
  EXPECT_EQ(m_.Count(db_, "SELECT * FROM qln_file_properties WHERE id = " + doc->id), 1u);
  // The companion files go all the same.
  EXPECT_FALSE(m_.Exists(doc->directory + "\\" + doc->pdf_name + ".xml"));
}

TEST_F(RecordCleanupSampleTest, BinderCountDropsAndTheLastDocumentTakesTheBinder) {
  const SampleDocument* doc = Find([](const SampleDocument& d) { return d.binder_id != "0"; });
  ASSERT_NE(doc, nullptr);
  const std::string binder = "SELECT * FROM qln_binder WHERE id = " + doc->binder_id;
  m_.Execute(db_,
             {"UPDATE qln_file_properties SET is_open = 1 WHERE binder__id = " + doc->binder_id,
              "UPDATE qln_binder SET total_files = 2 WHERE id = " + doc->binder_id});
  LockAndRemove(*doc);
  EXPECT_THAT(m_.Column(db_, binder, "total_files"), ElementsAre("1"));

  const SampleDocument* other = Find(
      [&](const SampleDocument& d) { return d.binder_id == doc->binder_id && d.id != doc->id; });
  if (other == nullptr) return;
  LockAndRemove(*other);
  EXPECT_THAT(m_.Column(db_, binder, "total_files"), IsEmpty());
}

TEST_F(RecordCleanupSampleTest, MergedDocumentTakesItsPartsWithIt) {
  const SampleDocument* merged = Find([](const SampleDocument& d) { return d.merged; });
  ASSERT_NE(merged, nullptr);
  LockAndRemove(*merged);

  EXPECT_EQ(m_.Count(db_, "SELECT * FROM qln_file_properties WHERE id = " + merged->id), 0u);
  EXPECT_EQ(
      m_.Count(db_, "SELECT * FROM qln_merged_files WHERE qln_file_properties__id = " + merged->id),
      0u);
  for (const std::string& file : merged->files) EXPECT_FALSE(m_.Exists(file)) << file;
  for (const std::string& part_id : merged->part_document_ids) {
    EXPECT_EQ(m_.Count(db_, "SELECT * FROM qln_file_properties WHERE id = " + part_id), 0u)
        << "part " << part_id;
  }
  EXPECT_THAT(merged_.folder_ids, ElementsAre(merged->folder_id));
  EXPECT_THAT(merged_.names, ElementsAre(merged->original_name));
  // Documents that had nothing to do with the merge are untouched.
  for (const SampleDocument& doc : summary_.documents) {
    if (doc.id == merged->id || doc.directory != merged->directory) continue;
    if (std::count(merged->part_document_ids.begin(), merged->part_document_ids.end(), doc.id)) {
      continue;
    }
    ExpectIntact(doc);
  }
}

TEST_F(RecordCleanupSampleTest, NoDatabaseStillRemovesCompanionFiles) {
  const SampleDocument& doc = summary_.documents[0];
  working_root_ = "C:\\Elsewhere";
  LockAndRemove(doc);
  EXPECT_FALSE(m_.Exists(doc.directory + "\\" + doc.pdf_name + ".xml"));
  EXPECT_FALSE(m_.Exists(doc.folders[0]));
  EXPECT_EQ(m_.Count(db_, "SELECT * FROM qln_file_properties"), summary_.documents.size());
}

}  // namespace
}  // namespace qdw::database
