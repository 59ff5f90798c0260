// Time to build a sample repository on a stand-in machine, and the cost of the record cleanup
// of locked documents in it. A plain program, not a timed test.
//
//   database_sample_bench [megabytes=100] [locked documents to clean=20]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "database/record_cleanup.h"
#include "database/sample/sample_repository.h"
#include "tests/platform/sim_test_machine.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double CpuSeconds() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace qdw;
  const uint64_t megabytes = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 100;
  const size_t locked = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 20;
  testing::SimTestMachine machine;
  platform::Platform& platform = machine.platform();

  database::sample::SampleSummary summary;
  std::string error;
  const double cpu_before = CpuSeconds();
  auto start = std::chrono::steady_clock::now();
  if (!database::sample::GenerateSampleRepository(platform, "C:\\Users\\jo\\Documents", 1,
                                                  megabytes << 20, &summary, &error)) {
    std::fprintf(stderr, "generation failed: %s\n", error.c_str());
    return 1;
  }
  const double wall = Seconds(start);
  std::printf("sample repository: %.1f MB in %llu files, %zu documents\n",
              summary.total_bytes / 1048576.0,
              static_cast<unsigned long long>(summary.file_count), summary.documents.size());
  std::printf("  generation: %.2f s wall, %.2f s CPU, %.0f MB/s\n", wall, CpuSeconds() - cpu_before,
              summary.total_bytes / 1048576.0 / wall);

  database::MergedFolderList merged;
  database::RecordCleanup cleanup(platform.files(), platform.databases(), summary.qdw_folder, merged,
                                  nullptr);
  start = std::chrono::steady_clock::now();
  size_t cleaned = 0;
  for (size_t i = 0; i < summary.documents.size() && cleaned < locked; i += 7, ++cleaned) {
    const auto& doc = summary.documents[i];
    cleanup.RemoveLockedDocument(doc.directory, doc.pdf_name);
  }
  const double cleanup_wall = Seconds(start);
  std::printf("  record cleanup: %zu documents in %.2f s (%.1f ms each)\n", cleaned, cleanup_wall,
              cleaned ? cleanup_wall * 1000 / cleaned : 0.0);
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("  peak memory: %ld MB\n", usage.ru_maxrss / 1024);
  return 0;
}
