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
// must equal `expected` (relative "/" paths; cabextract keeps the bytes of names stored
// without the UTF-8 flag).
void CheckWithCabextract(const std::string& first_volume,
                         const std::map<std::string, std::string>& expected);

}  // namespace qdw::cab::testing

#endif  // QDW_TESTS_CABINET_EXTERNAL_CHECK_H_
