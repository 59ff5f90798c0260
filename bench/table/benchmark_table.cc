#include "bench/table/benchmark_table.h"

namespace qdw::bench {
namespace {

constexpr double kMib = 1048576.0;

}  // namespace

const TableRow* BenchmarkTable::Find(const std::string& name) const {
  for (const TableRow& row : rows_) {
    if (row.name == name) return &row;
  }
  return nullptr;
}

bool BenchmarkTable::AllOk() const {
  for (const TableRow& row : rows_) {
    if (!row.measurement.ok) return false;
  }
  return true;
}

void BenchmarkTable::PrintRows(std::FILE* out) const {
  std::fprintf(out, "| %-34s | %-4s | %8s | %8s | %8s | %9s | %8s |\n", "step", "ok", "wall s",
               "cpu s", "MiB/s", "out MiB", "peak MiB");
  std::fprintf(out, "|%s|------|----------|----------|----------|-----------|----------|\n",
               std::string(36, '-').c_str());
  for (const TableRow& row : rows_) {
    const Measurement& m = row.measurement;
    double rate = m.wall_seconds > 0 ? row.input_bytes / kMib / m.wall_seconds : 0;
    char output[32] = "-";
    if (row.output_bytes > 0)
      std::snprintf(output, sizeof(output), "%.1f", row.output_bytes / kMib);
    std::fprintf(out, "| %-34s | %-4s | %8.2f | %8.2f | %8.1f | %9s | %8.1f |\n", row.name.c_str(),
                 m.ok ? "ok" : "FAIL", m.wall_seconds, m.cpu_seconds, rate, output, m.peak_mib);
  }
}

void BenchmarkTable::PrintComparison(std::FILE* out, const std::string& ours,
                                     const std::string& theirs, const std::string& target) const {
  const TableRow* a = Find(ours);
  const TableRow* b = Find(theirs);
  if (a == nullptr || b == nullptr || a->measurement.wall_seconds <= 0 ||
      b->measurement.wall_seconds <= 0) {
    std::fprintf(out, "- %s vs %s: not measured\n", ours.c_str(), theirs.c_str());
    return;
  }
  std::fprintf(out, "- %s vs %s: %.2fx the speed (time ratio %.2f)", ours.c_str(), theirs.c_str(),
               b->measurement.wall_seconds / a->measurement.wall_seconds,
               a->measurement.wall_seconds / b->measurement.wall_seconds);
  if (a->output_bytes > 0 && b->output_bytes > 0) {
    std::fprintf(out, ", size %.3f", static_cast<double>(a->output_bytes) / b->output_bytes);
  }
  if (!target.empty()) std::fprintf(out, "; target: %s", target.c_str());
  std::fprintf(out, "\n");
}

}  // namespace qdw::bench
