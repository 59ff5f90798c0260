// Writes a one-volume cabinet with the system's own cabinet library (cabinet.dll, FCI), as an
// independent producer of sets for our reader.
#ifndef QDW_TESTS_WIN32_PLATFORM_FCI_WRITER_H_
#define QDW_TESTS_WIN32_PLATFORM_FCI_WRITER_H_

#include <map>
#include <string>

namespace qdw::testing {

// Packs each file of `files` (stored name -> content), read from below `source_folder`, into
// `cabinet_path` with MSZIP. Returns an empty text on success, otherwise what failed.
std::string WriteWithPlatformFci(const std::string& source_folder,
                                 const std::map<std::string, std::string>& files,
                                 const std::string& cabinet_path);

}  // namespace qdw::testing

#endif  // QDW_TESTS_WIN32_PLATFORM_FCI_WRITER_H_
