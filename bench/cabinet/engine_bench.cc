// Engine-level comparison of our MS-CAB engine with gcab (packing) and cabextract (unpacking)
// on a generated document-like tree. Each step runs in a child process, so its wall time, CPU
// time and peak memory are its own.
//
//   cabinet_engine_bench [megabytes=100] [tree folder to use instead of a generated one]
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "tests/cabinet/posix_fci.h"
#include "tests/cabinet/posix_fdi.h"
#include "tests/cabinet/test_tree.h"

namespace qdw::cab::testing {
namespace {

struct Measure {
  double wall = 0;
  double cpu = 0;
  long peak_kb = 0;
  bool ok = false;
};

// Runs `step` in a child process; the child's exit status 0 means success.
Measure RunChild(const std::function<int()>& step) {
  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) _exit(step());
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  Measure measure;
  measure.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  measure.cpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  measure.peak_kb = usage.ru_maxrss;
  measure.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return measure;
}

uint64_t SizeOfFiles(const std::vector<std::string>& paths) {
  uint64_t total = 0;
  for (const std::string& path : paths) {
    struct stat info;
    if (stat(path.c_str(), &info) == 0) total += static_cast<uint64_t>(info.st_size);
  }
  return total;
}

// Text, PDF-like files (text with compressed streams), already-compressed images and a few
// large logs, about `megabytes` in all.
void GenerateTree(const std::string& root, size_t megabytes) {
  size_t total = 0;
  for (uint32_t i = 0; total < megabytes << 20; ++i) {
    std::string folder = root + "dir" + std::to_string(i % 23) + "/sub" + std::to_string(i % 5);
    std::string content;
    std::string extension;
    switch (i % 10) {
      case 0:
      case 1:
      case 2:
      case 3:
        content = MakeContent(Content::kText, 2000 + (i * 7919) % 120000, i);
        extension = ".txt";
        break;
      case 4:
      case 5:
      case 6:
        for (uint32_t part = 0; part < 6; ++part) {
          content += MakeContent(Content::kText, 3000 + (i * part * 131) % 15000, i + part);
          content += MakeContent(Content::kRandom, 4000 + (i * part * 71) % 30000, i * part);
        }
        extension = ".pdf";
        break;
      case 7:
      case 8:
        content = MakeContent(Content::kRandom, 20000 + (i * 104729) % 380000, i);
        extension = ".jpg";
        break;
      default:
        content = MakeContent(Content::kText, i % 7 == 0 ? 8u << 20 : 150000, i);
        extension = ".log";
    }
    WriteFileBytes(folder + "/file" + std::to_string(i) + extension, content);
    total += content.size();
  }
}

void Report(const char* name, const Measure& measure, uint64_t input_bytes, uint64_t output) {
  double mb = input_bytes / 1048576.0;
  std::printf(
      "%-28s %s %7.2f s wall %7.2f s cpu %8.1f MB/s %8.1f MB/s-cpu %9.1f MB out %7.1f MiB peak\n",
      name, measure.ok ? "ok  " : "FAIL", measure.wall, measure.cpu, mb / measure.wall,
      mb / measure.cpu, output / 1048576.0, measure.peak_kb / 1024.0);
}

int Main(int argc, char** argv) {
  size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100;
  ScratchDir scratch;
  std::string root = argc > 2 ? std::string(argv[2]) + "/" : scratch.Sub("tree");
  if (argc <= 2) GenerateTree(root, megabytes);
  std::vector<SourceFile> files = ListTree(root);
  uint64_t input = 0;
  for (const SourceFile& file : files) input += SizeOfFiles({file.path});
  std::printf("tree: %zu files, %.1f MB; QDW_THREADS=%s\n", files.size(), input / 1048576.0,
              std::getenv("QDW_THREADS") ? std::getenv("QDW_THREADS") : "(cores)");

  std::string ours = scratch.Sub("ours") + "Set.qdw";
  std::vector<std::string> volumes;
  Measure pack = RunChild([&] { return PackFiles(files, ours).ok ? 0 : 1; });
  Report("pack: our engine", pack, input, SizeOfFiles({ours}));

  std::string gcab = scratch.path() + "gcab.cab";
  std::string list;
  for (const SourceFile& file : files) list += " " + Quote(file.path.substr(root.size()));
  Measure gcab_pack = RunChild(
      [&] { return RunCommand("cd " + Quote(root) + " && gcab -c -z " + Quote(gcab) + list); });
  Report("pack: gcab -c -z", gcab_pack, input, SizeOfFiles({gcab}));

  for (const std::string& cabinet : {ours, gcab}) {
    const char* which = cabinet == ours ? "(our set)" : "(gcab set)";
    std::string into = scratch.Sub(std::string("x1") + (cabinet == ours ? "a" : "b"));
    Measure extract = RunChild([&] { return ExtractVolume(cabinet, into).ok ? 0 : 1; });
    Report((std::string("unpack: our engine ") + which).c_str(), extract, input, 0);
    std::string into2 = scratch.Sub(std::string("x2") + (cabinet == ours ? "a" : "b"));
    Measure cabextract = RunChild(
        [&] { return RunCommand("cabextract -q -d " + Quote(into2) + " " + Quote(cabinet)); });
    Report((std::string("unpack: cabextract ") + which).c_str(), cabextract, input, 0);
  }
  std::printf("ratios: pack speed ours/gcab %.2f (cpu %.2f), size ours/gcab %.3f\n",
              gcab_pack.wall / pack.wall, gcab_pack.cpu / pack.cpu,
              static_cast<double>(SizeOfFiles({ours})) / SizeOfFiles({gcab}));
  return pack.ok && gcab_pack.ok ? 0 : 1;
}

}  // namespace
}  // namespace qdw::cab::testing

int main(int argc, char** argv) { return qdw::cab::testing::Main(argc, argv); }
