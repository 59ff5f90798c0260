// What one file operation of a backup or restore costs on the stand-in machine, beside the
// bare host calls doing the same, in a folder of 10 and of 300 files: creating a file (and
// removing it again), copying one to a new name (and removing the copy), renaming one back
// and forth, and reading attributes. Run it with TMPDIR on a memory file system to see the
// stand-in's own cost without the host disk's.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::platform {
namespace {

// As deep as a drawer of the product's repository: the stand-in's cost grows with the path.
constexpr char kFolder[] =
    "C:\\Users\\jo\\QDW Repository\\VARNOLD\\QDW\\Documents\\Cabinet 000\\Drawer 03";
constexpr size_t kFileBytes = 3000;

// A folder of `files` small documents on a fresh machine.
class Drawer {
 public:
  explicit Drawer(int64_t files) : fs_(machine_.platform().files()) {
    const std::string folder = kFolder;
    for (size_t at = folder.find('\\', 3); at != std::string::npos;
         at = folder.find('\\', at + 1)) {
      fs_.MakeFolder(folder.substr(0, at));
    }
    fs_.MakeFolder(folder);
    const std::string bytes(kFileBytes, 'd');
    for (int64_t i = 0; i < files; ++i) {
      machine_.PutFile(Path("doc" + std::to_string(i) + ".pdf"), bytes);
    }
    host_ = machine_.HostPath(kFolder);
  }
  FileSystem& fs() { return fs_; }
  std::string Path(const std::string& name) const { return std::string(kFolder) + "\\" + name; }
  std::string Host(const std::string& name) const { return host_ + "/" + name; }

 private:
  testing::SimTestMachine machine_;
  FileSystem& fs_;
  std::string host_;
};

void BM_SimCreateAndDelete(benchmark::State& state) {
  Drawer drawer(state.range(0));
  const std::string path = drawer.Path("new.pdf");
  for (auto _ : state) {
    std::unique_ptr<File> file;
    drawer.fs().Open(path, kGenericWrite, kShareNone, Disposition::kCreateNew, kAttrNormal, &file);
    file.reset();
    drawer.fs().Delete(path);
  }
}
BENCHMARK(BM_SimCreateAndDelete)->Arg(10)->Arg(300);

void BM_HostCreateAndDelete(benchmark::State& state) {
  Drawer drawer(state.range(0));
  const std::string path = drawer.Host("new.pdf");
  for (auto _ : state) {
    ::close(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    ::unlink(path.c_str());
  }
}
BENCHMARK(BM_HostCreateAndDelete)->Arg(10)->Arg(300);

void BM_SimCopyAndDelete(benchmark::State& state) {
  Drawer drawer(state.range(0));
  const std::string source = drawer.Path("doc0.pdf");
  const std::string target = drawer.Path("copy.pdf");
  for (auto _ : state) {
    drawer.fs().Copy(source, target, /*fail_if_exists=*/true);
    drawer.fs().Delete(target);
  }
}
BENCHMARK(BM_SimCopyAndDelete)->Arg(10)->Arg(300);

void BM_HostCopyAndDelete(benchmark::State& state) {
  Drawer drawer(state.range(0));
  const std::string source = drawer.Host("doc0.pdf");
  const std::string target = drawer.Host("copy.pdf");
  for (auto _ : state) {
    int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    ::copy_file_range(in, nullptr, out, nullptr, kFileBytes, 0);
    ::close(out);
    ::close(in);
    ::unlink(target.c_str());
  }
}
BENCHMARK(BM_HostCopyAndDelete)->Arg(10)->Arg(300);

// A drawer's files copied into a new drawer and those copies deleted again, as the backup's
// copy and the Windows 7 move make them: one call a file (0) or in batches (1).
void BM_SimCopyDrawerAndDelete(benchmark::State& state) {
  constexpr int64_t kDrawerFiles = 300;
  Drawer drawer(kDrawerFiles);
  const std::string copies_folder = std::string(kFolder) + " copy";
  drawer.fs().MakeFolder(copies_folder);
  std::vector<FileCopy> copies;
  std::vector<std::string> targets;
  for (int64_t i = 0; i < kDrawerFiles; ++i) {
    const std::string name = "doc" + std::to_string(i) + ".pdf";
    copies.push_back({drawer.Path(name), copies_folder + "\\" + name});
    targets.push_back(copies.back().target);
  }
  const bool batched = state.range(0) != 0;
  std::vector<WinError> results;
  for (auto _ : state) {
    if (batched) {
      drawer.fs().CopyFiles(copies, true, FileSystem::BatchEnd::kAll, &results);
      drawer.fs().DeleteFiles(targets, FileSystem::BatchEnd::kAll, &results);
    } else {
      for (const FileCopy& copy : copies) drawer.fs().Copy(copy.source, copy.target, true);
      for (const std::string& target : targets) drawer.fs().Delete(target);
    }
  }
  state.SetItemsProcessed(state.iterations() * kDrawerFiles);
}
BENCHMARK(BM_SimCopyDrawerAndDelete)->Arg(0)->Arg(1)->UseRealTime();

void BM_SimMoveThereAndBack(benchmark::State& state) {
  Drawer drawer(state.range(0));
  const std::string a = drawer.Path("doc0.pdf");
  const std::string b = drawer.Path("moved.pdf");
  for (auto _ : state) {
    drawer.fs().Move(a, b);
    drawer.fs().Move(b, a);
  }
}
BENCHMARK(BM_SimMoveThereAndBack)->Arg(10)->Arg(300);

void BM_HostMoveThereAndBack(benchmark::State& state) {
  Drawer drawer(state.range(0));
  const std::string a = drawer.Host("doc0.pdf");
  const std::string b = drawer.Host("moved.pdf");
  for (auto _ : state) {
    std::rename(a.c_str(), b.c_str());
    std::rename(b.c_str(), a.c_str());
  }
}
BENCHMARK(BM_HostMoveThereAndBack)->Arg(10)->Arg(300);

void BM_SimReadAttributes(benchmark::State& state) {
  Drawer drawer(state.range(0));
  const std::string path = drawer.Path("doc0.pdf");
  uint32_t attributes = 0;
  for (auto _ : state) drawer.fs().ReadAttributes(path, &attributes);
}
BENCHMARK(BM_SimReadAttributes)->Arg(10)->Arg(300);

void BM_HostStat(benchmark::State& state) {
  Drawer drawer(state.range(0));
  const std::string path = drawer.Host("doc0.pdf");
  struct stat st;
  for (auto _ : state) ::stat(path.c_str(), &st);
}
BENCHMARK(BM_HostStat)->Arg(10)->Arg(300);

}  // namespace
}  // namespace qdw::platform

BENCHMARK_MAIN();
