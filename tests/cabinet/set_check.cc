#include "tests/cabinet/set_check.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "tests/cabinet/external_check.h"
#include "tests/cabinet/test_tree.h"

namespace qdw::cab::testing {

PackResult PackTree(const std::string& root, const std::string& out_dir,
                    const PackOptions& options) {
  PackResult result = PackFiles(ListTree(root), out_dir + "Set.qdw", options);
  EXPECT_TRUE(result.ok) << "FCI error " << result.erf.erfOper << " errno " << result.erf.erfType;
  return result;
}

std::vector<ExtractedFile> ExtractSet(const std::vector<std::string>& volumes,
                                      const std::string& destination) {
  std::vector<ExtractedFile> all;
  std::set<std::string> seen;
  for (const std::string& volume : volumes) {
    ExtractResult result = ExtractVolume(volume, destination);
    EXPECT_TRUE(result.ok) << volume << ": FDI error " << result.erf.erfOper;
    EXPECT_EQ(result.open_handles_left, 0) << volume;
    for (const ExtractedFile& file : result.copied) {
      EXPECT_TRUE(seen.insert(file.name).second) << file.name << " written twice";
      all.push_back(file);
    }
  }
  return all;
}

PackResult PackAndCheck(const std::string& root, const std::string& scratch,
                        const PackOptions& options) {
  std::string out = scratch + "out/";
  std::string back = scratch + "back/";
  ScratchDir::MakeFolder(out);
  ScratchDir::MakeFolder(back);
  PackResult result = PackTree(root, out, options);
  if (!result.ok) return result;
  std::map<std::string, std::string> expected = SnapshotTree(root);
  CheckStructure(result.volumes);
  CheckWithCabextract(result.volumes[0], expected);
  ExtractSet(result.volumes, back);
  EXPECT_EQ(SnapshotTree(back), expected);
  return result;
}

ScopedVolumeLimit::ScopedVolumeLimit(unsigned long bytes) {
  setenv("QDW_CAB_VOLUME_LIMIT", std::to_string(bytes).c_str(), 1);
}

ScopedVolumeLimit::~ScopedVolumeLimit() { unsetenv("QDW_CAB_VOLUME_LIMIT"); }

}  // namespace qdw::cab::testing
