// What one benchmark call measured at each repository size: the measured rows of every run,
// the profiled steps, and the tables printed from them.
#ifndef QDW_BENCH_SMALL_FILES_SMALL_FILES_RESULTS_H_
#define QDW_BENCH_SMALL_FILES_SMALL_FILES_RESULTS_H_

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/small_files/step_recorder.h"
#include "bench/table/measured_run.h"

namespace qdw::bench {

// One comparison printed under a size's table: our row against its floor, run by run.
struct FloorComparison {
  std::string ours;
  std::string floor;
  std::string target;  // printed as written; empty: none
};

struct SizeResults {
  uint64_t extra_files = 0;  // small files added to the repository
  uint64_t files = 0;        // files of the product folder in all
  uint64_t bytes = 0;
  std::string load_before;
  std::string load_after;
  std::vector<std::string> order;  // row names, first seen first
  std::map<std::string, std::vector<Measurement>> rows;
  std::vector<std::string> profile_order;
  std::map<std::string, std::vector<StepFigures>> profiles;  // steps of each profiled run
  std::map<std::string, Measurement> profile_runs;

  void Add(const std::string& row, const Measurement& measurement);
  void AddProfile(const std::string& name, const Measurement& run,
                  const std::vector<StepFigures>& steps);
};

double Median(std::vector<double> values);

// The rows of one size with medians and ranges, then the comparisons with their floors.
void PrintSize(std::FILE* out, const SizeResults& size,
               const std::vector<FloorComparison>& comparisons);
// Each profiled run of one size: a table per step, then the port calls per file by kind.
void PrintProfiles(std::FILE* out, const SizeResults& size);
// How every row and every profiled step grows from the first size to the last.
void PrintGrowth(std::FILE* out, const std::vector<SizeResults>& sizes,
                 const std::vector<FloorComparison>& comparisons);

}  // namespace qdw::bench

#endif  // QDW_BENCH_SMALL_FILES_SMALL_FILES_RESULTS_H_
