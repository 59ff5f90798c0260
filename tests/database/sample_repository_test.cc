#include "database/sample/sample_repository.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "tests/database/database_test_machine.h"

namespace qdw::database::sample {
namespace {

using ::testing::UnorderedElementsAreArray;

constexpr char kRepository[] = "C:\\Users\\jo\\Documents";

TEST(SampleRepositoryTest, RowsDescribeExactlyTheFilesWritten) {
  testing::DatabaseTestMachine m;
  SampleSummary summary;
  std::string error;
  ASSERT_TRUE(GenerateSampleRepository(m.platform(), kRepository, 5, 2 << 20, &summary, &error))
      << error;
  EXPECT_GE(summary.total_bytes, 2u << 20);
  EXPECT_TRUE(m.Exists(summary.database_path));
  EXPECT_TRUE(m.Exists(summary.qdwie_folder + "\\Import"));
  for (const std::string& icon : summary.printer_icons) EXPECT_TRUE(m.Exists(icon)) << icon;

  const std::string& db = summary.database_path;
  std::map<std::string, std::vector<std::string>> rows;
  for (auto& row :
       m.Rows(db, "SELECT * FROM qln_file_properties",
              {"id", "folder__id", "pdf_name", "original_file_name", "original_file_extension",
               "is_open", "merged", "binder__id", "total_versions"})) {
    rows[row[0]] = row;
  }
  ASSERT_EQ(rows.size(), summary.documents.size());
  std::map<std::string, int> binder_sizes;
  for (const SampleDocument& doc : summary.documents) {
    const std::vector<std::string>& row = rows[doc.id];
    EXPECT_EQ(row[1], doc.folder_id);
    EXPECT_EQ(row[2], doc.pdf_name);
    EXPECT_EQ(row[3], doc.original_name);
    EXPECT_EQ(row[4], doc.original_extension);
    EXPECT_EQ(row[5], doc.is_open ? "1" : "0");
    EXPECT_EQ(row[6], doc.merged ? "1" : "0");
    EXPECT_EQ(row[7], doc.binder_id);
    EXPECT_EQ(row[8], std::to_string(doc.version_ids.size()));
    EXPECT_THAT(
        m.Column(db, "SELECT * FROM qln_file_version WHERE file_properties__id = " + doc.id, "id"),
        UnorderedElementsAreArray(doc.version_ids));
    for (const std::string& file : doc.files) EXPECT_TRUE(m.Exists(file)) << file;
    for (const std::string& folder : doc.folders) EXPECT_TRUE(m.Exists(folder)) << folder;
    if (doc.binder_id != "0") ++binder_sizes[doc.binder_id];
    if (doc.merged) {
      EXPECT_EQ(
          m.Count(db, "SELECT * FROM qln_merged_files WHERE qln_file_properties__id = " + doc.id),
          doc.part_document_ids.size());
    }
  }
  for (auto& row : m.Rows(db, "SELECT * FROM qln_binder", {"id", "total_files"})) {
    EXPECT_EQ(row[1], std::to_string(binder_sizes[row[0]])) << "binder " << row[0];
  }
  // The shared folders' rows carry the share name and directory.
  for (const SampleShare& share : summary.shares) {
    auto folder = m.Rows(db, "SELECT * FROM qln_folder WHERE id = " + share.folder_id,
                         {"name", "path", "shared", "share_type"});
    ASSERT_EQ(folder.size(), 1u);
    EXPECT_EQ(folder[0], (std::vector<std::string>{share.name, share.path, "1", "0"}));
    EXPECT_TRUE(m.Exists(share.path));
  }
}

TEST(SampleRepositoryTest, SameSeedGivesTheSameBytes) {
  testing::DatabaseTestMachine a;
  testing::DatabaseTestMachine b;
  SampleSummary first;
  SampleSummary second;
  ASSERT_TRUE(GenerateSampleRepository(a.platform(), kRepository, 9, 512 << 10, &first));
  ASSERT_TRUE(GenerateSampleRepository(b.platform(), kRepository, 9, 512 << 10, &second));
  ASSERT_EQ(first.documents.size(), second.documents.size());
  for (size_t i = 0; i < first.documents.size(); i += 3) {
    for (const std::string& file : first.documents[i].files) {
      EXPECT_EQ(a.sim().ReadFile(file), b.sim().ReadFile(file)) << file;
    }
  }
}

TEST(SampleRepositoryTest, RefusesAnExistingRepositoryAndLeavesItAlone) {
  testing::DatabaseTestMachine m;
  m.sim().PutFile(std::string(kRepository) + "\\VARNOLD\\QDW\\keep.txt", "mine");
  SampleSummary summary;
  std::string error;
  EXPECT_FALSE(GenerateSampleRepository(m.platform(), kRepository, 1, 1 << 20, &summary, &error));
  EXPECT_THAT(error, ::testing::HasSubstr("already exists"));
  EXPECT_EQ(m.sim().ReadFile(std::string(kRepository) + "\\VARNOLD\\QDW\\keep.txt"), "mine");
  EXPECT_FALSE(m.Exists(std::string(kRepository) + "\\VARNOLD\\QDWie"));
}

TEST(SampleRepositoryTest, OutsideSharedFolderHoldsDocuments) {
  testing::DatabaseTestMachine m;
  SampleOptions options;
  options.target_bytes = 1 << 20;
  options.outside_share_paths = {"D:\\Office Scans"};
  SampleSummary summary;
  std::string error;
  ASSERT_TRUE(GenerateSampleRepository(m.platform(), kRepository, options, &summary, &error))
      << error;
  const SampleShare& outside = summary.shares.back();
  EXPECT_FALSE(outside.inside_repository);
  EXPECT_EQ(outside.path, "D:\\Office Scans");
  EXPECT_TRUE(m.Exists(outside.path));
}

}  // namespace
}  // namespace qdw::database::sample
