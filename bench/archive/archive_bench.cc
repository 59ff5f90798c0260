// Compress against `gcab -c -z` and Extract against cabextract on a generated document-like
// tree on a stand-in machine. Every step runs as a fresh process (this program re-run in a step
// mode, or the tool), so its wall time, CPU time and peak memory are its own.
//
//   archive_bench [megabytes=320]
//   QDW_BENCH_KEEP=1 archive_bench ...   keeps the machine; then, with QDW_MACHINE=<folder>:
//   archive_bench --compress | --extract <volume>... <destination>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "Compressor/compressor.h"
#include "Extractor/extractor.h"
#include "bench/archive/document_tree.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::bench {
namespace {

namespace fs = std::filesystem;

constexpr char kTree[] = "C:\\Bench\\Tree";
constexpr char kOurSet[] = "C:\\Bench\\Ours\\Set.qdw";
constexpr char kGcabSet[] = "C:\\Bench\\Gcab\\set.cab";

struct Measure {
  double wall = 0;
  double cpu = 0;
  double peak_mib = 0;
  bool ok = false;
};

// Runs `arguments` as a child process and measures it.
Measure Run(const std::vector<std::string>& arguments, const std::string& folder = "") {
  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(127);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    int quiet = ::open("/dev/null", O_WRONLY);
    if (quiet >= 0) dup2(quiet, STDOUT_FILENO);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  Measure measure;
  measure.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  measure.cpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  measure.peak_mib = usage.ru_maxrss / 1024.0;
  measure.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return measure;
}

uint64_t SizeOf(const std::vector<std::string>& paths) {
  uint64_t total = 0;
  for (const std::string& path : paths) total += fs::file_size(path);
  return total;
}

void Report(const char* name, const Measure& m, uint64_t input, uint64_t output) {
  double mb = input / 1048576.0;
  std::printf(
      "%-30s %s %7.2f s wall %7.2f s cpu %7.1f MB/s %7.1f MB/s-cpu %8.1f MB out %6.1f MiB peak\n",
      name, m.ok ? "ok  " : "FAIL", m.wall, m.cpu, mb / m.wall, mb / m.cpu, output / 1048576.0,
      m.peak_mib);
}

bool SameTree(const std::string& a, const std::string& b) {
  std::string command = "diff -rq '" + a + "' '" + b + "' > /dev/null";
  return std::system(command.c_str()) == 0;
}

TreeFacts GenerateInChild(const std::string& tree, uint64_t megabytes) {
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return {};
  pid_t pid = fork();
  if (pid == 0) {
    TreeFacts facts = GenerateDocumentTree(tree, megabytes);
    _exit(write(pipe_ends[1], &facts, sizeof(facts)) == sizeof(facts) ? 0 : 1);
  }
  TreeFacts facts;
  if (read(pipe_ends[0], &facts, sizeof(facts)) != sizeof(facts)) facts = {};
  waitpid(pid, nullptr, 0);
  close(pipe_ends[0]);
  close(pipe_ends[1]);
  return facts;
}

// Resident size of this process, the floor of every step's peak.
double ResidentMib() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

// Step modes, run in a child process on the machine named by QDW_MACHINE.
int CompressStep() {
  char last[QDW_LAST_VOLUME_NAME_SIZE];
  int result = Compress(kTree, kOurSet, last);
  if (result != 0) std::fprintf(stderr, "Compress: %d %s\n", result, GetCompressErrText(result));
  return result == 0 ? 0 : 1;
}

int ExtractStep(int argc, char** argv) {
  // argv: volumes..., destination
  for (int i = 0; i + 1 < argc; ++i) {
    int result = Extract(argv[i], argv[argc - 1]);
    if (result != 0) {
      std::fprintf(stderr, "Extract %s: %d %s\n", argv[i], result, GetExtractErrText(result));
      return 1;
    }
  }
  return 0;
}

int Main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--compress") return CompressStep();
  if (argc > 1 && std::string(argv[1]) == "--extract") return ExtractStep(argc - 2, argv + 2);
  uint64_t megabytes = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 320;

  testing::SimTestMachine machine;
  machine.MakeDefault();  // QDW_MACHINE for the step processes
  std::string tree = machine.HostPath(kTree);
  // Generated in a child: a forked step starts with this process's resident size as its peak.
  TreeFacts facts = GenerateInChild(tree, megabytes);
  std::printf(
      "tree: %llu files, %.1f MB (text, PDF-like, images, 3 large files); QDW_THREADS=%s; "
      "peak floor (launcher) %.1f MiB\n",
      static_cast<unsigned long long>(facts.files), facts.bytes / 1048576.0,
      std::getenv("QDW_THREADS") ? std::getenv("QDW_THREADS") : "(default)", ResidentMib());
  fs::create_directories(machine.HostPath("C:\\Bench\\Ours"));
  fs::create_directories(machine.HostPath("C:\\Bench\\Gcab"));
  const std::string self = fs::read_symlink("/proc/self/exe").string();

  Measure ours = Run({self, "--compress"});
  std::vector<std::string> volumes;
  for (const auto& entry : fs::directory_iterator(machine.HostPath("C:\\Bench\\Ours"))) {
    volumes.push_back(entry.path().string());
  }
  uint64_t our_size = SizeOf(volumes);
  Report("pack: Compress", ours, facts.bytes, our_size);

  std::vector<std::string> gcab = {"gcab", "-c", "-z", machine.HostPath(kGcabSet)};
  for (const auto& entry : fs::recursive_directory_iterator(tree)) {
    if (entry.is_regular_file()) gcab.push_back(fs::relative(entry.path(), tree).string());
  }
  Measure theirs = Run(gcab, tree);
  uint64_t gcab_size = SizeOf({machine.HostPath(kGcabSet)});
  Report("pack: gcab -c -z", theirs, facts.bytes, gcab_size);

  std::vector<std::string> our_volumes = {kOurSet};
  for (size_t i = 2; i <= volumes.size(); ++i) {
    our_volumes.push_back("C:\\Bench\\Ours\\Set_add" + std::to_string(i) + ".qdw");
  }
  struct Unpack {
    const char* name;
    bool ours_reader;
    std::string set;
  };
  Measure extract_ours;
  Measure cabextract_ours;
  for (const Unpack& unpack : {Unpack{"unpack: Extract (our set)", true, kOurSet},
                               Unpack{"unpack: cabextract (our set)", false, kOurSet},
                               Unpack{"unpack: Extract (gcab set)", true, kGcabSet},
                               Unpack{"unpack: cabextract (gcab set)", false, kGcabSet}}) {
    const std::string into = "C:\\Bench\\Out";
    fs::create_directories(machine.HostPath(into));
    Measure m;
    if (unpack.ours_reader) {
      std::vector<std::string> arguments = {self, "--extract"};
      if (unpack.set == kOurSet) {
        arguments.insert(arguments.end(), our_volumes.begin(), our_volumes.end());
      } else {
        arguments.push_back(unpack.set);
      }
      arguments.push_back(into);
      m = Run(arguments);
    } else {
      m = Run({"cabextract", "-q", "-d", machine.HostPath(into), machine.HostPath(unpack.set)});
    }
    m.ok = m.ok && SameTree(tree, machine.HostPath(into));
    Report(unpack.name, m, facts.bytes, 0);
    if (unpack.set == kOurSet) (unpack.ours_reader ? extract_ours : cabextract_ours) = m;
    fs::remove_all(machine.HostPath(into));
  }

  std::printf(
      "ratios: pack speed Compress/gcab %.2f (cpu %.2f), size Compress/gcab %.3f, peak Compress "
      "%.1f MiB "
      "vs gcab %.1f MiB; unpack speed Extract/cabextract %.2f (cpu %.2f), peak Extract %.1f MiB vs "
      "cabextract %.1f MiB; %zu volume(s)\n",
      theirs.wall / ours.wall, theirs.cpu / ours.cpu, static_cast<double>(our_size) / gcab_size,
      ours.peak_mib, theirs.peak_mib, cabextract_ours.wall / extract_ours.wall,
      cabextract_ours.cpu / extract_ours.cpu, extract_ours.peak_mib, cabextract_ours.peak_mib,
      volumes.size());
  bool ok = ours.ok && theirs.ok && extract_ours.ok && cabextract_ours.ok;
  if (std::getenv("QDW_BENCH_KEEP") != nullptr) {
    // Leaves the machine and both sets for profiling single steps (QDW_MACHINE=<folder>).
    std::printf("machine kept: %s\n", machine.folder().c_str());
    std::fflush(stdout);
    _exit(ok ? 0 : 1);
  }
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace qdw::bench

int main(int argc, char** argv) { return qdw::bench::Main(argc, argv); }
