#include "bench/small_files/small_files_results.h"

#include <algorithm>
#include <optional>
#include <thread>

namespace qdw::bench {
namespace {

constexpr double kMib = 1048576.0;
constexpr double kMicro = 1e6;

std::vector<double> Walls(const std::vector<Measurement>& runs) {
  std::vector<double> walls;
  for (const Measurement& m : runs) walls.push_back(m.wall_seconds);
  return walls;
}

double MedianWall(const SizeResults& size, const std::string& row) {
  auto it = size.rows.find(row);
  return it == size.rows.end() ? 0 : Median(Walls(it->second));
}

// `figure` of each run of `ours` beside the floor's run measured next to it (the rows were
// measured in turn), leaving out the runs it has no figure for.
template <typename Figure>
std::vector<double> PerRun(const SizeResults& size, const FloorComparison& comparison,
                           Figure figure) {
  std::vector<double> values;
  auto ours = size.rows.find(comparison.ours);
  auto floor = size.rows.find(comparison.floor);
  if (ours == size.rows.end() || floor == size.rows.end()) return values;
  for (size_t i = 0; i < ours->second.size() && i < floor->second.size(); ++i) {
    if (std::optional<double> value = figure(ours->second[i], floor->second[i])) {
      values.push_back(*value);
    }
  }
  return values;
}

// Ratios of `ours` against `floor`, run by run: of the wall time, or with `cpu` of the CPU time.
std::vector<double> RunRatios(const SizeResults& size, const FloorComparison& comparison,
                              bool cpu = false) {
  return PerRun(size, comparison,
                [cpu](const Measurement& a, const Measurement& b) -> std::optional<double> {
                  const double theirs = cpu ? b.cpu_seconds : b.wall_seconds;
                  if (theirs <= 0) return std::nullopt;
                  return (cpu ? a.cpu_seconds : a.wall_seconds) / theirs;
                });
}

// The smallest ratio against `floor` that this machine's processors allow a run spending the
// processor time of `ours` (or, with `floor_cpu`, of the floor itself), run by run: that time
// spread over every processor, over the floor's wall time. A target below it cannot be met
// here, whatever the program does.
std::vector<double> ProcessorBounds(const SizeResults& size, const FloorComparison& comparison,
                                    bool floor_cpu) {
  const double processors = std::max(1u, std::thread::hardware_concurrency());
  return PerRun(size, comparison,
                [=](const Measurement& a, const Measurement& b) -> std::optional<double> {
                  if (b.wall_seconds <= 0) return std::nullopt;
                  return (floor_cpu ? b.cpu_seconds : a.cpu_seconds) / processors / b.wall_seconds;
                });
}

const StepFigures* FindStep(const std::vector<StepFigures>& steps, const std::string& name) {
  for (const StepFigures& step : steps) {
    if (step.name == name) return &step;
  }
  return nullptr;
}

}  // namespace

void SizeResults::Add(const std::string& row, const Measurement& measurement) {
  if (rows.find(row) == rows.end()) order.push_back(row);
  rows[row].push_back(measurement);
}

void SizeResults::AddProfile(const std::string& name, const Measurement& run,
                             const std::vector<StepFigures>& steps) {
  if (profiles.find(name) == profiles.end()) profile_order.push_back(name);
  profiles[name] = steps;
  profile_runs[name] = run;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void PrintSize(std::FILE* out, const SizeResults& size,
               const std::vector<FloorComparison>& comparisons) {
  std::fprintf(out,
               "\n### %llu small files added: %llu files in the product folder, %.1f MiB "
               "(load average %s before, %s after)\n\n",
               static_cast<unsigned long long>(size.extra_files),
               static_cast<unsigned long long>(size.files), size.bytes / kMib,
               size.load_before.c_str(), size.load_after.c_str());
  std::fprintf(out, "| %-48s | ok  | %8s | %15s | %8s | %8s |\n", "step", "wall s", "range",
               "cpu s", "peak MiB");
  std::fprintf(out, "|%s|-----|----------|-----------------|----------|----------|\n",
               std::string(50, '-').c_str());
  for (const std::string& name : size.order) {
    const std::vector<Measurement>& runs = size.rows.at(name);
    std::vector<double> walls = Walls(runs);
    std::vector<double> cpus;
    double peak = 0;
    size_t ok = 0;
    for (const Measurement& m : runs) {
      cpus.push_back(m.cpu_seconds);
      peak = std::max(peak, m.peak_mib);
      ok += m.ok ? 1 : 0;
    }
    char range[32];
    std::snprintf(range, sizeof(range), "%.1f..%.1f", *std::min_element(walls.begin(), walls.end()),
                  *std::max_element(walls.begin(), walls.end()));
    std::fprintf(out, "| %-48s | %zu/%zu | %8.2f | %15s | %8.2f | %8.1f |\n", name.c_str(), ok,
                 runs.size(), Median(walls), range, Median(cpus), peak);
  }
  std::fprintf(out, "\n");
  for (const FloorComparison& comparison : comparisons) {
    std::vector<double> ratios = RunRatios(size, comparison);
    if (ratios.empty()) continue;
    std::fprintf(out, "- %s vs %s: time ratio %.2f (median of the runs:", comparison.ours.c_str(),
                 comparison.floor.c_str(), Median(ratios));
    for (double ratio : ratios) std::fprintf(out, " %.2f", ratio);
    std::fprintf(out, "); CPU time ratio %.2f", Median(RunRatios(size, comparison, true)));
    if (!comparison.target.empty()) {
      std::fprintf(out,
                   "; target: %s; the processors allow at best %.2f (%.2f at the floor's own "
                   "processor time)",
                   comparison.target.c_str(), Median(ProcessorBounds(size, comparison, false)),
                   Median(ProcessorBounds(size, comparison, true)));
    }
    std::fprintf(out, "\n");
  }
}

void PrintProfiles(std::FILE* out, const SizeResults& size) {
  const double files = static_cast<double>(std::max<uint64_t>(size.files, 1));
  for (const std::string& name : size.profile_order) {
    const std::vector<StepFigures>& steps = size.profiles.at(name);
    const Measurement& run = size.profile_runs.at(name);
    double total = 0;
    for (const StepFigures& step : steps) total += step.wall_seconds;
    std::fprintf(
        out, "\n#### %s, profiled in-process (%s): %.1f s wall, %.1f s CPU, peak %.1f MiB\n\n",
        name.c_str(), run.ok ? "ok" : "FAILED", run.wall_seconds, run.cpu_seconds, run.peak_mib);
    std::fprintf(out, "| %-34s | %8s | %6s | %8s | %8s | %10s | %10s |\n", "step", "wall s",
                 "share", "cpu s", "queued s", "port/file", "host/file");
    std::fprintf(out, "|%s|----------|--------|----------|----------|------------|------------|\n",
                 std::string(36, '-').c_str());
    for (const StepFigures& step : steps) {
      std::fprintf(out, "| %-34s | %8.2f | %5.1f%% | %8.2f | %8.2f | %10.2f | %10.1f |\n",
                   step.name.c_str(), step.wall_seconds,
                   total > 0 ? 100 * step.wall_seconds / total : 0, step.cpu_seconds,
                   step.queued_seconds, step.PortCalls() / files, step.syscalls / files);
    }
    std::fprintf(out,
                 "\n(queued: the main thread was ready but waited for a processor; wall minus "
                 "queued is near what a quiet machine takes for the steps on one thread)\n");
    std::fprintf(out,
                 "\nPort calls per file by kind, and microseconds inside each (steps with at "
                 "least 0.1 a file):\n\n");
    for (const StepFigures& step : steps) {
      if (step.PortCalls() / files < 0.1) continue;
      std::fprintf(out, "- %s:", step.name.c_str());
      for (size_t kind = 0; kind < kPortCallKinds; ++kind) {
        if (step.calls[kind] / files < 0.01) continue;
        std::fprintf(out, " %s %.2f (%.0f us)", PortCallName(static_cast<PortCall>(kind)),
                     step.calls[kind] / files, kMicro * step.call_seconds[kind] / step.calls[kind]);
      }
      std::fprintf(out, "\n");
    }
  }
}

void PrintGrowth(std::FILE* out, const std::vector<SizeResults>& sizes,
                 const std::vector<FloorComparison>& comparisons) {
  if (sizes.size() < 2) return;
  const SizeResults& first = sizes.front();
  const SizeResults& last = sizes.back();
  const double file_growth = static_cast<double>(last.files) / std::max<uint64_t>(first.files, 1);
  std::fprintf(out, "\n### Growth from %llu to %llu files in the product folder (x%.2f)\n\n",
               static_cast<unsigned long long>(first.files),
               static_cast<unsigned long long>(last.files), file_growth);
  std::fprintf(out, "Median wall seconds, and microseconds per file, at each size:\n\n| %-56s |",
               "step");
  for (const SizeResults& size : sizes) {
    std::fprintf(out, " %10llu | us/file |", static_cast<unsigned long long>(size.extra_files));
  }
  std::fprintf(out, " growth |\n|%s|", std::string(58, '-').c_str());
  for (size_t i = 0; i < sizes.size(); ++i) std::fprintf(out, "------------|---------|");
  std::fprintf(out, "--------|\n");
  auto row = [&](const std::string& name, auto seconds_at) {
    std::fprintf(out, "| %-56s |", name.c_str());
    for (const SizeResults& size : sizes) {
      double seconds = seconds_at(size);
      std::fprintf(out, " %10.2f | %7.1f |", seconds,
                   seconds * kMicro / std::max<uint64_t>(size.files, 1));
    }
    double a = seconds_at(first);
    double b = seconds_at(last);
    std::fprintf(out, " %6.2f |\n", a > 0 ? b / a : 0);
  };
  for (const std::string& name : first.order) {
    row(name, [&](const SizeResults& size) { return MedianWall(size, name); });
  }
  for (const std::string& profile : first.profile_order) {
    for (const StepFigures& step : first.profiles.at(profile)) {
      row(profile + ": " + step.name, [&](const SizeResults& size) {
        auto it = size.profiles.find(profile);
        const StepFigures* found =
            it == size.profiles.end() ? nullptr : FindStep(it->second, step.name);
        return found ? found->wall_seconds : 0.0;
      });
    }
  }
  std::fprintf(out, "\n(growth: last size's time over the first's; the files grew x%.2f)\n\n",
               file_growth);
  for (const FloorComparison& comparison : comparisons) {
    std::fprintf(out, "- %s vs %s, time ratio at each size:", comparison.ours.c_str(),
                 comparison.floor.c_str());
    for (const SizeResults& size : sizes) {
      std::fprintf(out, " %.2f", Median(RunRatios(size, comparison)));
    }
    std::fprintf(out, " (CPU time:");
    for (const SizeResults& size : sizes) {
      std::fprintf(out, " %.2f", Median(RunRatios(size, comparison, true)));
    }
    std::fprintf(out, ")\n");
  }
}

}  // namespace qdw::bench
