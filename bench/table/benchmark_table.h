// The rows of the benchmark table and the comparisons printed under it.
#ifndef QDW_BENCH_TABLE_BENCHMARK_TABLE_H_
#define QDW_BENCH_TABLE_BENCHMARK_TABLE_H_

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/table/measured_run.h"

namespace qdw::bench {

struct TableRow {
  std::string name;
  Measurement measurement;
  uint64_t input_bytes = 0;   // the uncompressed data the step handles
  uint64_t output_bytes = 0;  // what it writes that is compared; 0: not compared
};

class BenchmarkTable {
 public:
  void Add(TableRow row) { rows_.push_back(std::move(row)); }
  // Null when no row has that name.
  const TableRow* Find(const std::string& name) const;
  bool AllOk() const;

  void PrintRows(std::FILE* out) const;
  // One line: how many times faster `ours` ran than `theirs` (wall time), and for steps that
  // write an archive the size of ours against theirs. `target` is printed as written.
  void PrintComparison(std::FILE* out, const std::string& ours, const std::string& theirs,
                       const std::string& target) const;

 private:
  std::vector<TableRow> rows_;
};

}  // namespace qdw::bench

#endif  // QDW_BENCH_TABLE_BENCHMARK_TABLE_H_
