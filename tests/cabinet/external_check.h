// Checks a cabinet set with the independent tools: the structural checker, `cabextract -t` and
// an extraction by cabextract compared with the expected tree.
#ifndef QDW_TESTS_CABINET_EXTERNAL_CHECK_H_
#define QDW_TESTS_CABINET_EXTERNAL_CHECK_H_

#include <map>
#include <string>
#include <vector>

namespace qdw::cab::testing {

// Structural check of every volume; records a test failure with the checker's output.
// Skipped (returns false) when the checker is not available.
bool CheckStructure(const std::vector<std::string>& volumes);

// `cabextract -t` on the first volume, then `cabextract -d` into a scratch folder; the files
// must equal `expected` (relative "/" paths, names as the archive stores them).
void CheckWithCabextract(const std::string& first_volume,
                         const std::map<std::string, std::string>& expected);

// cabextract writes names without the UTF-8 flag as Latin-1 converted to UTF-8.
std::string Latin1ToUtf8(const std::string& text);

}  // namespace qdw::cab::testing

#endif  // QDW_TESTS_CABINET_EXTERNAL_CHECK_H_
