// The plan of a sample repository, made before anything is written: every folder, every file
// with its kind and size, and the database rows that describe them.
#ifndef QDW_DATABASE_SAMPLE_SAMPLE_CATALOG_H_
#define QDW_DATABASE_SAMPLE_SAMPLE_CATALOG_H_

#include <cstdint>
#include <string>
#include <vector>

#include "database/sample/sample_content.h"
#include "database/sample/sample_repository.h"

namespace qdw::database::sample {

struct PlannedFile {
  std::string path;
  ContentKind kind = ContentKind::kBinary;
  uint64_t size = 0;
  uint64_t seed = 0;
  std::string title;
};

struct SampleCatalog {
  // Folders, documents, shares and printer icons as they will be; total_bytes counts the
  // planned files (the database is added when it has been written).
  SampleSummary summary;
  std::vector<PlannedFile> files;
  // INSERT statements that fill the database, in order.
  std::vector<std::string> statements;
};

SampleCatalog PlanSampleRepository(const std::string& repository_path,
                                   const SampleOptions& options);

}  // namespace qdw::database::sample

#endif  // QDW_DATABASE_SAMPLE_SAMPLE_CATALOG_H_
