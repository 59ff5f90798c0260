#include "database/sample/sample_repository.h"

#include <memory>

#include "database/database_paths.h"
#include "database/product_schema.h"
#include "database/sample/sample_catalog.h"
#include "database/sample/sample_content.h"
#include "database/working_copy_files.h"
#include "platform/windows_path.h"

namespace qdw::database::sample {
namespace {

bool Fail(const std::string& why, std::string* error) {
  if (error) *error = why;
  return false;
}

// Creates every missing level of `path` ("C:\a\b" makes "C:\a", then "C:\a\b").
platform::WinError MakeFolders(platform::FileSystem& files, const std::string& path) {
  size_t next = platform::FindSeparator(path);
  if (next == std::string::npos) return platform::kErrorPathNotFound;
  while (true) {
    next = platform::FindSeparator(path, next + 1);
    const std::string prefix = path.substr(0, next);
    uint32_t attributes = 0;
    if (files.ReadAttributes(prefix, &attributes) != platform::kSuccess) {
      const platform::WinError made = files.MakeFolder(prefix);
      if (made != platform::kSuccess && made != platform::kErrorAlreadyExists) return made;
    } else if ((attributes & platform::kAttrDirectory) == 0) {
      return platform::kErrorAlreadyExists;
    }
    if (next == std::string::npos) return platform::kSuccess;
  }
}

// Inserts every row in one transaction.
bool FillDatabase(platform::Databases& databases, const std::string& database_path,
                  const std::vector<std::string>& statements, std::string* error) {
  std::unique_ptr<platform::DatabaseConnection> connection = databases.NewConnection();
  if (!connection || !connection->Open(AccessConnectString(database_path), false, false, false)) {
    return Fail("cannot open " + database_path, error);
  }
  if (!connection->BeginTransaction()) {
    return Fail("cannot begin a transaction: " + connection->LastError(), error);
  }
  for (const std::string& statement : statements) {
    if (!connection->Execute(statement)) {
      const std::string why = connection->LastError();
      connection->Rollback();
      return Fail("row insert failed: " + why + " in " + statement, error);
    }
  }
  if (!connection->Commit()) return Fail("commit failed: " + connection->LastError(), error);
  connection->Close();
  return true;
}

bool WriteRepository(platform::Platform& platform, SampleCatalog& catalog, std::string* error) {
  platform::FileSystem& files = platform.files();
  SampleSummary& summary = catalog.summary;
  for (const std::string& folder : summary.folders) {
    const platform::WinError made = MakeFolders(files, folder);
    if (made != platform::kSuccess) {
      return Fail("cannot create " + folder + " (error " + std::to_string(made) + ")", error);
    }
  }
  for (const PlannedFile& file : catalog.files) {
    const platform::WinError written =
        WriteSampleFile(files, file.path, file.kind, file.size, file.seed, file.title);
    if (written != platform::kSuccess) {
      return Fail("cannot write " + file.path + " (error " + std::to_string(written) + ")", error);
    }
  }
  if (!CreateProductDatabase(files, platform.databases(), summary.database_path, error) ||
      !FillDatabase(platform.databases(), summary.database_path, catalog.statements, error)) {
    return false;
  }
  std::unique_ptr<platform::File> database;
  uint64_t size = 0;
  if (files.Open(summary.database_path, platform::kGenericRead, platform::kShareRead,
                 platform::Disposition::kOpenExisting, platform::kAttrNormal,
                 &database) == platform::kSuccess &&
      database->Size(&size) == platform::kSuccess) {
    summary.total_bytes += size;
  }
  summary.file_count += 1;
  return true;
}

}  // namespace

bool GenerateSampleRepository(platform::Platform& platform, const std::string& repository_path,
                              const SampleOptions& options, SampleSummary* summary,
                              std::string* error) {
  SampleCatalog catalog = PlanSampleRepository(repository_path, options);
  WorkingCopyFiles existing(platform.files(), nullptr);
  std::vector<std::string> created = {catalog.summary.qdw_folder, catalog.summary.qdwie_folder};
  for (const SampleShare& share : catalog.summary.shares) {
    if (!share.inside_repository) created.push_back(share.path);
  }
  for (const std::string& folder : created) {
    if (existing.FolderExists(folder) || existing.FileExists(folder)) {
      return Fail(folder + " already exists", error);
    }
  }
  if (!WriteRepository(platform, catalog, error)) {
    // Take back what this call made, so a failure leaves no half-built repository behind.
    for (const std::string& folder : created) existing.RemoveFolderIfPresent(folder);
    return false;
  }
  if (summary) *summary = std::move(catalog.summary);
  return true;
}

}  // namespace qdw::database::sample
