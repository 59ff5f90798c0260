// Packs a tree with our writer and checks the set with every reader: the structural checker,
// cabextract, and our own reader volume by volume (every file written exactly once).
#ifndef QDW_TESTS_CABINET_SET_CHECK_H_
#define QDW_TESTS_CABINET_SET_CHECK_H_

#include <string>
#include <vector>

#include "tests/cabinet/posix_fci.h"
#include "tests/cabinet/posix_fdi.h"

namespace qdw::cab::testing {

// Packs every file below `root` into `out_dir` + "Set.qdw"; records a failure when packing
// fails.
PackResult PackTree(const std::string& root, const std::string& out_dir,
                    const PackOptions& options = {});

// Extracts the volumes one after another, as the restore does, into `destination`; records a
// failure for any volume that fails or any file written twice. Returns every copied entry.
std::vector<ExtractedFile> ExtractSet(const std::vector<std::string>& volumes,
                                      const std::string& destination);

// PackTree, then the checker, cabextract and ExtractSet, each compared with the tree.
PackResult PackAndCheck(const std::string& root, const std::string& scratch,
                        const PackOptions& options = {});

// Sets QDW_CAB_VOLUME_LIMIT for the life of the object.
class ScopedVolumeLimit {
 public:
  explicit ScopedVolumeLimit(unsigned long bytes);
  ~ScopedVolumeLimit();
};

}  // namespace qdw::cab::testing

#endif  // QDW_TESTS_CABINET_SET_CHECK_H_
