// A believable installation of the product's repository for the stand-in machine: the folders
// "VARNOLD\QDW" and "VARNOLD\QDWie" below a repository path, documents with their originals,
// descriptions, versions, binders and merged documents, the "Settings" folder with printer
// icons, and "DataBase\VNDATABASE.mdb" whose rows describe exactly those files. The same seed
// and size give the same repository.
#ifndef QDW_DATABASE_SAMPLE_SAMPLE_REPOSITORY_H_
#define QDW_DATABASE_SAMPLE_SAMPLE_REPOSITORY_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace qdw::database::sample {

// A shared folder of the product: what the share, the registry entry ("name,path") and the
// folder row need.
struct SampleShare {
  std::string name;  // share name, also the folder row's name
  std::string path;  // the shared folder
  std::string folder_id;
  bool inside_repository = true;
};

// One row of qln_file_properties and the files that belong to it.
struct SampleDocument {
  std::string id;
  std::string folder_id;
  std::string directory;  // the folder holding its files
  std::string pdf_name;
  std::string original_name;  // empty for a document stored only as PDF
  std::string original_extension;
  std::string binder_id;  // "0" when none
  bool is_open = false;
  bool merged = false;
  std::vector<std::string> version_ids;
  std::vector<std::string> part_document_ids;  // for a merged document: its parts' documents
  std::vector<std::string> files;              // full paths, version files included
  std::vector<std::string> folders;            // its "$#" folders
};

struct SampleSummary {
  std::string product_folder;  // repository path + "\VARNOLD"
  std::string qdw_folder;
  std::string qdwie_folder;
  std::string database_path;
  std::string settings_folder;
  uint64_t total_bytes = 0;  // all files written, the database included
  uint64_t file_count = 0;
  std::vector<std::string> folders;  // every folder created, parents first
  std::vector<SampleShare> shares;
  std::vector<SampleDocument> documents;
  std::vector<std::string> printer_icons;  // icon files in the settings folder
};

struct SampleOptions {
  uint32_t seed = 1;
  // Approximate total size of the files; small sizes still give a few documents of each kind.
  uint64_t target_bytes = 8ull << 20;
  // Folders outside the repository to create as shared folders of the product, each with
  // documents of its own (full Windows paths; their parent folders are created as needed).
  std::vector<std::string> outside_share_paths;
};

// Builds the repository below `repository_path` through the platform's file system and
// database ports. Refuses (false, `error` says why) when "VARNOLD\QDW" already exists there.
bool GenerateSampleRepository(platform::Platform& platform, const std::string& repository_path,
                              const SampleOptions& options, SampleSummary* summary,
                              std::string* error = nullptr);

inline bool GenerateSampleRepository(platform::Platform& platform,
                                     const std::string& repository_path, uint32_t seed,
                                     uint64_t target_bytes, SampleSummary* summary,
                                     std::string* error = nullptr) {
  SampleOptions options;
  options.seed = seed;
  options.target_bytes = target_bytes;
  return GenerateSampleRepository(platform, repository_path, options, summary, error);
}

}  // namespace qdw::database::sample

#endif  // QDW_DATABASE_SAMPLE_SAMPLE_REPOSITORY_H_
