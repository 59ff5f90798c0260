// Names the sample repository gives its folders and documents.
#ifndef QDW_DATABASE_SAMPLE_SAMPLE_NAMES_H_
#define QDW_DATABASE_SAMPLE_SAMPLE_NAMES_H_

#include <string>
#include <vector>

#include "database/sample/sample_random.h"

namespace qdw::database::sample {

// What a folder holds; decides the names and kinds of its documents.
enum class Flavour { kInbox, kFinance, kCustomer, kProject, kPersonnel, kArchive, kShared };

// `count` distinct customer names; the first is always "O'Brien & Sons", so every sample has
// a name with a single quote in folder and document names.
std::vector<std::string> CustomerNames(SampleRandom& random, size_t count);
// `count` distinct project names.
std::vector<std::string> ProjectNames(SampleRandom& random, size_t count);

// A document title for a folder; `number` makes it unique. Never contains a "." (the base
// name of a stored file ends at its first dot).
std::string DocumentTitle(SampleRandom& random, Flavour flavour, const std::string& folder_name,
                          int number);

// The original's extension for a new document of the folder; empty for a document stored
// only as PDF.
std::string OriginalExtension(SampleRandom& random, Flavour flavour);

}  // namespace qdw::database::sample

#endif  // QDW_DATABASE_SAMPLE_SAMPLE_NAMES_H_
