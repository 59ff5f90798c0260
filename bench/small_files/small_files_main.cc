// The many-small-files benchmark: a stand-in machine with the product whose repository gets
// many small documents (150000 files of 0.6 to 8 KB by default), and at each size asked for
// the `Backup` program's backup and restore (driven by dialog scripts) beside the same design
// done with standard tools, measured in the same run:
//   backup floor:  cp -r into a work folder, tar -I pigz -c, rm -rf the work folder
//   restore floor: cp of the tarball, tar -I pigz -x, cp -r into place, rm -rf the temporary
//                  folder; and with the removal of the installation it replaced (moved aside
//                  first), since the program's restore removes the trees it replaced
// then a backup and restores through the engine in one process, with every file-system port
// call and every host system call counted per step. A plain program, not a timed test.
//
//   bench_small_files [--files N[,N...]] [--runs R] [--windows V[,V...]]
//                     [--profile-windows V[,V...]] [--min-bytes B] [--max-bytes B]
//                     [--per-folder F] [--settle S] [--no-profile]
//   QDW_BENCH_KEEP=1 keeps the machine folder.
//   bench_small_files --profiled-backup MACHINE REPORT
//   bench_small_files --profiled-restore MACHINE FIRST_VOLUME REPORT         (step modes)
//   bench_small_files --print-steps REPORT FILES      (a step report as a table, per file)
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "bench/small_files/engine_profile.h"
#include "bench/small_files/small_files_run.h"
#include "bench/table/host_tree.h"

namespace qdw::bench {
namespace {

constexpr char kUsage[] =
    "usage: bench_small_files [--files N[,N...]] [--runs R] [--windows V[,V...]]\n"
    "                         [--profile-windows V[,V...]] [--min-bytes B] [--max-bytes B]\n"
    "                         [--per-folder F] [--settle S] [--no-profile]\n";

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  std::string part;
  while (std::getline(in, part, ',')) {
    if (!part.empty()) parts.push_back(part);
  }
  return parts;
}

bool ParseNumber(const std::string& text, uint64_t* value) {
  char* end = nullptr;
  *value = std::strtoull(text.c_str(), &end, 10);
  return !text.empty() && *end == '\0' && *value > 0;
}

bool ParseOptions(int argc, char** argv, SmallFilesOptions* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--no-profile") {
      options->profile_windows.clear();
      continue;
    }
    if (i + 1 >= argc) return false;
    const std::string value = argv[++i];
    uint64_t number = 0;
    if (option == "--files") {
      options->sizes.clear();
      for (const std::string& part : SplitCommas(value)) {
        if (!ParseNumber(part, &number) ||
            (!options->sizes.empty() && number <= options->sizes.back())) {
          return false;
        }
        options->sizes.push_back(number);
      }
      if (options->sizes.empty()) return false;
    } else if (option == "--windows") {
      options->windows = SplitCommas(value);
    } else if (option == "--profile-windows") {
      options->profile_windows = SplitCommas(value);
    } else if (!ParseNumber(value, &number)) {
      return false;
    } else if (option == "--runs") {
      options->runs = static_cast<int>(number);
    } else if (option == "--min-bytes") {
      options->shape.min_bytes = number;
    } else if (option == "--max-bytes") {
      options->shape.max_bytes = number;
    } else if (option == "--per-folder") {
      options->shape.files_per_folder = number;
    } else if (option == "--settle") {
      options->settle_seconds = static_cast<int>(number);
    } else {
      return false;
    }
  }
  return options->shape.min_bytes <= options->shape.max_bytes;
}

int PrintStepReport(int argc, char** argv) {
  uint64_t files = 0;
  SizeResults size;
  std::vector<StepFigures> steps;
  if (argc != 2 || !ParseNumber(argv[1], &files) || !ReadStepReport(argv[0], &steps)) return 2;
  size.files = files;
  Measurement run;
  run.ok = true;
  for (const StepFigures& step : steps) {
    run.wall_seconds += step.wall_seconds;
    run.cpu_seconds += step.cpu_seconds;
  }
  size.AddProfile(argv[0], run, steps);
  PrintProfiles(stdout, size);
  return 0;
}

int Main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "--profiled-backup") return ProfiledBackupStep(argc - 2, argv + 2);
  if (mode == "--profiled-restore") return ProfiledRestoreStep(argc - 2, argv + 2);
  if (mode == "--print-steps") return PrintStepReport(argc - 2, argv + 2);
  SmallFilesOptions options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr, "%s", kUsage);
    return 2;
  }
  const char* base = std::getenv("TMPDIR");
  std::string folder = std::string(base && *base ? base : "/tmp") + "/qdw-bench-small-XXXXXX";
  if (::mkdtemp(folder.data()) == nullptr) return 1;
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  std::printf(
      "machine %s; %d runs; files of %llu to %llu bytes, %llu a folder; %d s settling before "
      "each run\n",
      folder.c_str(), options.runs, static_cast<unsigned long long>(options.shape.min_bytes),
      static_cast<unsigned long long>(options.shape.max_bytes),
      static_cast<unsigned long long>(options.shape.files_per_folder), options.settle_seconds);
  std::fflush(stdout);

  SmallFilesRun run(self, folder, options);
  bool ok = run.Prepare();
  for (uint64_t size : options.sizes) {
    if (!ok) break;
    ok = run.MeasureSize(size);
  }
  if (ok) PrintGrowth(stdout, run.sizes(), run.Comparisons());
  for (const SizeResults& size : run.sizes()) {
    for (const auto& [name, runs] : size.rows) {
      for (const Measurement& m : runs) ok = ok && m.ok;
    }
    for (const auto& [name, profile] : size.profile_runs) ok = ok && profile.ok;
  }
  if (std::getenv("QDW_BENCH_KEEP") == nullptr) RemoveAll(folder);
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace qdw::bench

int main(int argc, char** argv) { return qdw::bench::Main(argc, argv); }
