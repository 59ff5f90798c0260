// The benchmark table: on one generated document-like tree on a stand-in machine with the
// product installed, measures `Compress` with one and with all threads against `gcab -c -z`
// and `tar` with `pigz`, `Extract` against `cabextract` and `tar -x` with `pigz -d`, and a
// whole backup and restore through the `Backup` program (driven by a dialog script) against
// `tar` with `pigz` of the repository and its unpacking. Every step is a process of its own;
// the table gives wall and CPU time, throughput, output size and peak memory, then the ratios.
// A plain program, not a timed test.
//
//   bench_table [megabytes=1024]       QDW_BENCH_KEEP=1 keeps the machine folder
//   bench_table --compress SOURCE ARCHIVE | --extract VOLUME... DESTINATION   (step modes)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/archive/document_tree.h"
#include "bench/table/archive_steps.h"
#include "bench/table/benchmark_table.h"
#include "bench/table/host_tree.h"
#include "bench/table/measured_run.h"
#include "platform/sim/sim_machine.h"

namespace qdw::bench {
namespace {

namespace fs = std::filesystem;

constexpr char kRepository[] = "C:\\Users\\jo\\QDW Repository";
constexpr char kTree[] = "C:\\Users\\jo\\QDW Repository\\VARNOLD\\QDW\\Documents";
constexpr char kOurSet[] = "D:\\Bench\\Ours\\Set.qdw";
constexpr char kBackups[] = "D:\\Backups";
constexpr char kArchiveName[] = "Bench";

std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

// Generated in a child: every step is forked from this process, and a fork starts with the
// parent's resident size as its peak.
TreeFacts GenerateInChild(const std::string& root, uint64_t megabytes) {
  int ends[2];
  if (pipe(ends) != 0) return {};
  pid_t pid = fork();
  if (pid == 0) {
    TreeFacts facts = GenerateDocumentTree(root, megabytes);
    _exit(write(ends[1], &facts, sizeof(facts)) == sizeof(facts) ? 0 : 1);
  }
  TreeFacts facts;
  if (pid < 0 || read(ends[0], &facts, sizeof(facts)) != sizeof(facts)) facts = {};
  if (pid > 0) waitpid(pid, nullptr, 0);
  close(ends[0]);
  close(ends[1]);
  return facts;
}

StepCommand Plain(std::vector<std::string> arguments) {
  StepCommand command;
  command.arguments = std::move(arguments);
  return command;
}

bool HavePigz() { return std::system("command -v pigz > /dev/null 2>&1") == 0; }

class TableRun {
 public:
  // The machine and the outside tools' files go into `folder`.
  TableRun(std::string self, const std::string& folder, uint64_t megabytes)
      : self_(std::move(self)),
        bin_(fs::path(self_).parent_path().string()),
        folder_(folder + "/machine"),
        megabytes_(megabytes),
        scratch_(folder + "/scratch") {}

  bool Prepare();
  void MeasureArchiveSteps();
  void MeasureWholeRuns();
  void Print() const;
  bool AllOk() const { return table_.AllOk(); }

 private:
  std::string Host(const std::string& windows_path) const {
    std::string host;
    sim::SimMachine(folder_).ToHostPath(windows_path, &host);
    return host;
  }
  StepCommand OnMachine(std::vector<std::string> arguments) const {
    StepCommand command;
    command.arguments = std::move(arguments);
    command.set_variables = {"QDW_MACHINE=" + folder_};
    return command;
  }
  void Add(const std::string& name, const Measurement& m, uint64_t input, uint64_t output) {
    table_.Add(TableRow{name, m, input, output});
    std::printf("  %-34s %s %.1f s\n", name.c_str(), m.ok ? "ok" : "FAILED", m.wall_seconds);
    std::fflush(stdout);
  }
  Measurement Checked(Measurement m, const std::string& expected, const std::string& actual) {
    m.ok = m.ok && SameTree(expected, actual);
    RemoveAll(actual);
    return m;
  }
  Measurement RunBackupProgram(const std::string& name, const std::string& script);
  std::string FirstVolumeAtDestination() const;

  std::string self_;
  std::string bin_;
  std::string folder_;
  uint64_t megabytes_;
  std::string scratch_;
  uint64_t tree_bytes_ = 0;
  uint64_t tree_files_ = 0;
  bool pigz_ = false;
  BenchmarkTable table_;
};

bool TableRun::Prepare() {
  pigz_ = HavePigz();
  fs::create_directories(scratch_);
  Measurement init =
      RunMeasured(Plain({bin_ + "/qdwsim", "init", folder_, "--seed", "7", "--size", "1"}));
  if (!init.ok) {
    std::fprintf(stderr, "qdwsim init failed\n");
    return false;
  }
  TreeFacts facts = GenerateInChild(Host(kTree), megabytes_);
  tree_bytes_ = facts.bytes;
  tree_files_ = facts.files;
  fs::create_directories(Host("D:\\Bench\\Ours"));
  fs::create_directories(Host(kBackups));
  return tree_bytes_ > 0;
}

void TableRun::MeasureArchiveSteps() {
  const std::string tree = Host(kTree);
  const std::string ours = Host("D:\\Bench\\Ours");
  StepCommand compress = OnMachine({self_, "--compress", kTree, kOurSet});
  compress.set_variables.push_back("QDW_THREADS=1");
  Measurement one_thread = RunMeasured(compress);
  Add("Compress, 1 thread", one_thread, tree_bytes_, TreeBytes(ours));
  RemoveAll(ours);
  fs::create_directories(ours);
  compress.set_variables.pop_back();
  compress.unset_variables = {"QDW_THREADS"};
  Measurement all_threads = RunMeasured(compress);
  Add("Compress, all threads", all_threads, tree_bytes_, TreeBytes(ours));

  const std::string gcab_set = scratch_ + "/gcab.cab";
  StepCommand gcab = Plain({"gcab", "-c", "-z", gcab_set});
  gcab.folder = tree;
  for (const std::string& file : RelativeFiles(tree)) gcab.arguments.push_back(file);
  Measurement gcab_run = RunMeasured(gcab);
  Add("gcab -c -z", gcab_run, tree_bytes_, TreeBytes(gcab_set));
  RemoveAll(gcab_set);

  const std::string tarball = scratch_ + "/tree.tar.gz";
  if (pigz_) {
    Measurement tar = RunMeasured(Plain({"tar", "-I", "pigz", "-cf", tarball, "-C", tree, "."}));
    Add("tar + pigz", tar, tree_bytes_, TreeBytes(tarball));
  }

  std::vector<std::string> volumes = {kOurSet};
  for (size_t i = 2; fs::exists(ours + "/Set_add" + std::to_string(i) + ".qdw"); ++i) {
    volumes.push_back("D:\\Bench\\Ours\\Set_add" + std::to_string(i) + ".qdw");
  }
  StepCommand extract = OnMachine({self_, "--extract"});
  extract.arguments.insert(extract.arguments.end(), volumes.begin(), volumes.end());
  extract.arguments.push_back("D:\\Bench\\Out");
  fs::create_directories(Host("D:\\Bench\\Out"));
  Add("Extract", Checked(RunMeasured(extract), tree, Host("D:\\Bench\\Out")), tree_bytes_, 0);

  const std::string unpacked = scratch_ + "/out";
  fs::create_directories(unpacked);
  Add("cabextract",
      Checked(RunMeasured(Plain({"cabextract", "-q", "-d", unpacked, Host(kOurSet)})), tree,
              unpacked),
      tree_bytes_, 0);
  RemoveAll(ours);
  if (pigz_) {
    fs::create_directories(unpacked);
    Add("tar -x + pigz -d",
        Checked(RunMeasured(Plain({"tar", "-I", "pigz", "-xf", tarball, "-C", unpacked})), tree,
                unpacked),
        tree_bytes_, 0);
    RemoveAll(tarball);
  }
}

Measurement TableRun::RunBackupProgram(const std::string& name, const std::string& script) {
  const std::string script_path = scratch_ + "/" + name + ".script";
  std::ofstream(script_path) << script;
  StepCommand command = OnMachine({bin_ + "/Backup"});
  command.set_variables.push_back("QDW_UI_SCRIPT=" + script_path);
  command.set_variables.push_back("QDW_UI_TRANSCRIPT=" + scratch_ + "/" + name + ".transcript");
  return RunMeasured(command);
}

std::string TableRun::FirstVolumeAtDestination() const {
  const std::string single = std::string(kArchiveName) + ".qdw";
  for (const auto& entry : fs::directory_iterator(Host(kBackups))) {
    std::string name = entry.path().filename().string();
    if (name == single || name.rfind(std::string(kArchiveName) + "_bak", 0) == 0) {
      return std::string(kBackups) + "\\" + name;
    }
  }
  return std::string(kBackups) + "\\" + single;
}

void TableRun::MeasureWholeRuns() {
  const std::string repository = Host(kRepository);
  const uint64_t repository_bytes = TreeBytes(repository + "/VARNOLD");
  const std::string done = "expect text 1033 The operation completed successfully.\nclose\n";
  Measurement backup = RunBackupProgram(
      "backup", "expect dialog 102\nclick 1\nexpect dialog 105\ntype 1008 " +
                    std::string(kBackups) + "\ntype 1013 " + kArchiveName + "\nclick 1\n" + done);
  Add("Backup (whole run)", backup, repository_bytes, TreeBytes(Host(kBackups)));

  const std::string tarball = scratch_ + "/repository.tar.gz";
  if (pigz_) {
    Measurement tar =
        RunMeasured(Plain({"tar", "-I", "pigz", "-cf", tarball, "-C", repository, "VARNOLD"}));
    Add("tar + pigz, repository", tar, repository_bytes, TreeBytes(tarball));
  }
  Measurement restore = RunBackupProgram(
      "restore", "expect dialog 102\nclick 1001\nclick 1\nexpect dialog 105\ntype 1009 " +
                     FirstVolumeAtDestination() + "\nclick 1\nexpect message 123\nanswer yes\n" +
                     done);
  Add("Restore (whole run)", restore, repository_bytes, 0);
  if (pigz_) {
    const std::string unpacked = scratch_ + "/repository";
    fs::create_directories(unpacked);
    Measurement untar = RunMeasured(Plain({"tar", "-I", "pigz", "-xf", tarball, "-C", unpacked}));
    RemoveAll(unpacked);
    RemoveAll(tarball);
    Add("tar -x + pigz -d, repository", untar, repository_bytes, 0);
  }
}

void TableRun::Print() const {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  std::printf(
      "\n%llu files, %.1f MiB document-like tree; %ld cores; load average %s; peak floor "
      "(this launcher) %.1f MiB\n\n",
      static_cast<unsigned long long>(tree_files_), tree_bytes_ / 1048576.0,
      sysconf(_SC_NPROCESSORS_ONLN), LoadAverage().c_str(), usage.ru_maxrss / 1024.0);
  table_.PrintRows(stdout);
  std::printf("\n");
  table_.PrintComparison(stdout, "Compress, 1 thread", "gcab -c -z", "");
  table_.PrintComparison(stdout, "Compress, all threads", "gcab -c -z",
                         ">= 1.8x the speed, size <= 1");
  table_.PrintComparison(stdout, "Compress, 1 thread", "tar + pigz", "");
  table_.PrintComparison(stdout, "Compress, all threads", "tar + pigz", "");
  table_.PrintComparison(stdout, "Extract", "cabextract", ">= 1.5x the speed");
  table_.PrintComparison(stdout, "Extract", "tar -x + pigz -d", "");
  table_.PrintComparison(stdout, "Backup (whole run)", "tar + pigz, repository", "time ratio <= 1");
  table_.PrintComparison(stdout, "Restore (whole run)", "tar -x + pigz -d, repository", "");
  if (!pigz_) std::printf("(pigz is not installed: its rows are missing)\n");
}

int Main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "--compress") return CompressStep(argc - 2, argv + 2);
  if (mode == "--extract") return ExtractStep(argc - 2, argv + 2);
  const uint64_t megabytes = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1024;
  if (megabytes == 0) {
    std::fprintf(stderr, "usage: bench_table [megabytes]\n");
    return 2;
  }
  const char* base = std::getenv("TMPDIR");
  std::string folder = std::string(base && *base ? base : "/tmp") + "/qdw-bench-table-XXXXXX";
  if (::mkdtemp(folder.data()) == nullptr) return 1;
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  std::printf("machine %s, load average %s\n", folder.c_str(), LoadAverage().c_str());
  std::fflush(stdout);

  TableRun run(self, folder, megabytes);
  bool ok = run.Prepare();
  if (ok) {
    run.MeasureArchiveSteps();
    run.MeasureWholeRuns();
    run.Print();
    ok = run.AllOk();
  }
  if (std::getenv("QDW_BENCH_KEEP") == nullptr) RemoveAll(folder);
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace qdw::bench

int main(int argc, char** argv) { return qdw::bench::Main(argc, argv); }
