// A backup of a generated product installation in which one open document is held by the
// product: its files and rows leave the archived copy, the live repository stays as it was.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "database/process_connection.h"
#include "database/sample/sample_repository.h"
#include "engine/backup/open_flag_reset.h"
#include "engine/backup_restore.h"
#include "tests/engine/common/engine_test_support.h"

namespace qdw::backup {
namespace {

namespace sample = database::sample;

// Reads the working copy's database at packing time, before the work folder goes away.
class InspectingPacker : public testing::FakePacker {
 public:
  InspectingPacker(platform::Platform& platform, const std::string& document_id)
      : FakePacker(platform.files()), platform_(platform), document_id_(document_id) {}

  int Pack(const std::string& source_folder, const std::string& archive_path,
           std::string* last_volume_name) override {
    auto db = platform_.databases().NewConnection();
    const std::string path = WorkingCopyDatabasePath(source_folder + "\\VARNOLD\\QDW");
    if (db->Open("ODBC;DRIVER={MICROSOFT ACCESS DRIVER (*.mdb)};DSN='';DBQ=" + path, false, false,
                 true)) {
      document_rows = Count(*db, "SELECT * FROM qln_file_properties WHERE id = " + document_id_);
      open_rows = Count(*db, "SELECT * FROM qln_file_properties WHERE is_open = 1");
      all_rows = Count(*db, "SELECT * FROM qln_file_properties");
    }
    return FakePacker::Pack(source_folder, archive_path, last_volume_name);
  }

  static int Count(platform::DatabaseConnection& db, const std::string& sql) {
    std::unique_ptr<platform::RecordSet> rows;
    if (!db.Query(sql, true, &rows)) return -1;
    int count = 0;
    while (rows->Fetch()) ++count;
    return count;
  }

  int document_rows = -1;
  int open_rows = -1;
  int all_rows = -1;

 private:
  platform::Platform& platform_;
  std::string document_id_;
};

TEST(LockedDocumentBackupTest, HeldDocumentLeavesTheArchivedCopyOnly) {
  testing::ProductMachine product(sim::Json::object(), /*hand_made_files=*/false);
  sample::SampleSummary summary;
  std::string error;
  ASSERT_TRUE(sample::GenerateSampleRepository(
      product.platform(), testing::ProductMachine::kRepository, 11, 1 << 20, &summary, &error))
      << error;
  ASSERT_EQ(product.files().MakeFolder("D:\\Backups"), platform::kSuccess);

  // An open, unmerged document whose PDF is stored under its pdf_name.
  const sample::SampleDocument* held = nullptr;
  std::string held_pdf;
  for (const auto& doc : summary.documents) {
    if (!doc.is_open || doc.merged) continue;
    for (const std::string& file : doc.files) {
      if (file == doc.directory + "\\" + doc.pdf_name + ".pdf") held_pdf = file;
    }
    if (!held_pdf.empty()) {
      held = &doc;
      break;
    }
  }
  ASSERT_NE(held, nullptr) << "the sample has no open document stored as PDF";
  product.Lock(held_pdf);
  auto live_before = product.ProductSnapshot();

  testing::ScriptedPrompts prompts;
  prompts.custom_box_answer = engine::kCustomBoxOk;
  InspectingPacker packer(product.platform(), held->id);
  testing::RecordingProgress progress;
  engine::EngineOptions options;
  options.progress = &progress;
  engine::CBackupRestore engine(product.platform(), prompts, packer, options);
  ASSERT_EQ(engine.Backup(testing::ProductMachine::kRepository, "D:\\Backups", "Set"), 0);

  EXPECT_EQ(packer.document_rows, 0) << "the held document's row was archived";
  EXPECT_EQ(packer.open_rows, 0) << "open flags were archived";
  EXPECT_GT(packer.all_rows, 0);
  const std::string product_folder = testing::ProductMachine::kProduct;
  for (const std::string& file : held->files) {
    const std::string relative = "VARNOLD" + file.substr(product_folder.size());
    EXPECT_EQ(packer.packed_content.count(relative), 0u) << relative;
  }
  EXPECT_EQ(engine.state().locked_documents.size(), 1u);
  EXPECT_EQ(prompts.failure_list_opened, 1);
  EXPECT_EQ(product.ProductSnapshot(), live_before);
  // The copy says so while it takes the held document out, and goes on copying.
  const auto& shown = progress.Of(engine::ProgressPhase::kCopyRepository).shown;
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[1].phase, engine::ProgressPhase::kCleanCopy);
  EXPECT_EQ(shown[2].phase, engine::ProgressPhase::kCopyRepository);
}

}  // namespace
}  // namespace qdw::backup
