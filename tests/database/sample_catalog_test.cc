#include "database/sample/sample_catalog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace qdw::database::sample {
namespace {

constexpr char kRepository[] = "C:\\Users\\jo\\Documents";

SampleCatalog Plan(uint32_t seed, uint64_t target) {
  SampleOptions options;
  options.seed = seed;
  options.target_bytes = target;
  return PlanSampleRepository(kRepository, options);
}

bool Contains(const std::vector<std::string>& items, const std::string& item) {
  return std::find(items.begin(), items.end(), item) != items.end();
}

TEST(SampleCatalogTest, SameSeedSamePlanOtherSeedOtherPlan) {
  SampleCatalog a = Plan(7, 2 << 20);
  SampleCatalog b = Plan(7, 2 << 20);
  SampleCatalog c = Plan(8, 2 << 20);
  EXPECT_EQ(a.statements, b.statements);
  ASSERT_EQ(a.files.size(), b.files.size());
  for (size_t i = 0; i < a.files.size(); ++i) {
    EXPECT_EQ(a.files[i].path, b.files[i].path);
    EXPECT_EQ(a.files[i].size, b.files[i].size);
    EXPECT_EQ(a.files[i].seed, b.files[i].seed);
  }
  EXPECT_NE(a.statements, c.statements);
}

TEST(SampleCatalogTest, SizeFollowsTheTarget) {
  for (uint64_t target : {uint64_t{1} << 20, uint64_t{50} << 20}) {
    SampleCatalog plan = Plan(3, target);
    EXPECT_GE(plan.summary.total_bytes, target);
    EXPECT_LT(plan.summary.total_bytes, target + target / 10 + (1 << 20)) << target;
  }
  // A tiny target still gives a repository with some documents.
  EXPECT_GE(Plan(3, 0).summary.documents.size(), 12u);
}

TEST(SampleCatalogTest, DocumentFilesFollowTheNamingConventions) {
  SampleCatalog plan = Plan(11, 3 << 20);
  std::set<std::string> pdf_names;
  std::set<std::string> planned;
  for (const PlannedFile& file : plan.files) planned.insert(file.path);
  for (const SampleDocument& doc : plan.summary.documents) {
    EXPECT_TRUE(pdf_names.insert(doc.pdf_name).second) << "pdf_name not unique: " << doc.pdf_name;
    EXPECT_EQ(doc.pdf_name.find('.'), std::string::npos);
    const std::string stem = doc.directory + "\\" + doc.pdf_name;
    EXPECT_TRUE(Contains(doc.files, stem + ".pdf"));
    EXPECT_TRUE(Contains(doc.files, stem + ".xml"));
    if (!doc.original_name.empty()) {
      EXPECT_TRUE(Contains(
          doc.files, doc.directory + "\\" + doc.original_name + "." + doc.original_extension));
    }
    const std::string base = doc.original_name.empty() ? doc.pdf_name : doc.original_name;
    for (const std::string& version : doc.version_ids) {
      const std::string prefix = doc.directory + "\\" + base + "$#version" + version;
      EXPECT_TRUE(Contains(doc.files, prefix + ".pdf"));
      EXPECT_TRUE(Contains(doc.files, prefix + ".xml"));
    }
    for (const std::string& file : doc.files) EXPECT_EQ(planned.count(file), 1u) << file;
  }
}

TEST(SampleCatalogTest, EveryKindOfRecordOccurs) {
  SampleCatalog plan = Plan(2, 1 << 20);
  const SampleSummary& s = plan.summary;
  auto any = [&](auto predicate) {
    return std::any_of(s.documents.begin(), s.documents.end(), predicate);
  };
  EXPECT_TRUE(any([](const SampleDocument& d) { return d.merged; }));
  EXPECT_TRUE(any([](const SampleDocument& d) { return d.is_open; }));
  EXPECT_TRUE(any([](const SampleDocument& d) { return d.binder_id != "0"; }));
  EXPECT_TRUE(any([](const SampleDocument& d) { return d.version_ids.size() >= 2; }));
  EXPECT_TRUE(any([](const SampleDocument& d) { return !d.folders.empty(); }));
  EXPECT_TRUE(any([](const SampleDocument& d) { return d.original_name.empty(); }));
  // A folder named with a single quote, pasted into SQL with the quote doubled.
  EXPECT_TRUE(std::any_of(plan.statements.begin(), plan.statements.end(),
                          [](const std::string& sql) { return sql.find("O''Brien") != sql.npos; }));
  EXPECT_TRUE(std::any_of(plan.files.begin(), plan.files.end(), [](const PlannedFile& f) {
    return f.path.find("$_#.pdf") != std::string::npos;
  }));
  ASSERT_FALSE(s.shares.empty());
  EXPECT_EQ(s.shares[0].name, "Team Share");
  EXPECT_EQ(s.shares[0].path, s.qdw_folder + "\\Team Share");
  EXPECT_EQ(s.printer_icons.size(), 3u);
}

TEST(SampleCatalogTest, OutsideSharesGetAFolderRowAndDocuments) {
  SampleOptions options;
  options.outside_share_paths = {"D:\\Scans Office"};
  SampleCatalog plan = PlanSampleRepository(kRepository, options);
  const SampleShare& share = plan.summary.shares.back();
  EXPECT_EQ(share.name, "Scans Office");
  EXPECT_FALSE(share.inside_repository);
  EXPECT_TRUE(Contains(plan.summary.folders, "D:\\Scans Office"));
}

}  // namespace
}  // namespace qdw::database::sample
