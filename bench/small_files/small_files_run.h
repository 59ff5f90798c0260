// One call of the many-small-files benchmark: a stand-in machine with the product, whose
// repository grows to each size asked for; at each size the `Backup` program's backup and
// restore (one restore per Windows version asked for) and the same designs done with cp, tar,
// pigz and rm, run after each other, several times; then the engine's profiled runs.
#ifndef QDW_BENCH_SMALL_FILES_SMALL_FILES_RUN_H_
#define QDW_BENCH_SMALL_FILES_SMALL_FILES_RUN_H_

#include <cstdint>
#include <string>
#include <vector>

#include "bench/small_files/small_document_tree.h"
#include "bench/small_files/small_files_results.h"
#include "bench/table/measured_run.h"

namespace qdw::bench {

struct SmallFilesOptions {
  std::vector<uint64_t> sizes = {150000};  // small files added, in growing order
  SmallTreeShape shape;
  int runs = 3;
  // Restores of the program, one per Windows version: "6.1" copies, then deletes; others move.
  std::vector<std::string> windows = {"6.1", "10.0"};
  // Profiled engine restores, one per version; none: no profiled runs at all.
  std::vector<std::string> profile_windows = {"6.1", "10.0"};
  // Seconds to wait, after writing everything back, before each backup or restore and each
  // floor: the host's ext4 without a journal makes new files search past the inodes freed in
  // the last minute, so a run would otherwise pay for the removals of the run before it.
  int settle_seconds = 0;
};

// "Restore, Windows 6.1 (copy, then delete)" and the like.
std::string RestoreRowName(const std::string& windows);
std::string ProfileName(const std::string& windows);  // empty: the backup's

class SmallFilesRun {
 public:
  SmallFilesRun(std::string self, std::string folder, SmallFilesOptions options);

  bool Prepare();
  // Grows the repository to `extra_files` added files and measures everything at that size.
  bool MeasureSize(uint64_t extra_files);
  const std::vector<SizeResults>& sizes() const { return sizes_; }
  std::vector<FloorComparison> Comparisons() const;

 private:
  std::string Host(const std::string& windows_path) const;
  StepCommand OnMachine(std::vector<std::string> arguments) const;
  bool Grow(uint64_t extra_files);
  Measurement Program(const std::string& name, const std::string& script);
  void MeasureBackups(SizeResults* size);
  void MeasureRestores(SizeResults* size);
  void MeasureProfiles(SizeResults* size);
  void SetWindows(const std::string& version) const;
  void Settle() const;
  void StartServices() const;
  std::string FirstVolume() const;
  void ClearBackups() const;
  bool RepositoryIntact(const SizeResults& size) const;

  std::string self_;
  std::string bin_;
  std::string machine_;
  std::string scratch_;
  SmallFilesOptions options_;
  uint64_t generated_ = 0;
  std::vector<SizeResults> sizes_;
};

}  // namespace qdw::bench

#endif  // QDW_BENCH_SMALL_FILES_SMALL_FILES_RUN_H_
