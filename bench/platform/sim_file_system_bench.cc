// Throughput and per-call cost of the stand-in machine's files, which backups drive through
// gigabytes: chunked writes and reads, whole-file copies, opens and folder listings.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "tests/platform/sim_test_machine.h"

namespace qdw::platform {
namespace {

constexpr uint32_t kChunk = 64 * 1024;

void WriteFile(FileSystem& fs, const std::string& path, size_t bytes) {
  std::unique_ptr<File> file;
  fs.Open(path, kGenericWrite, kShareNone, Disposition::kCreateAlways, kAttrNormal, &file);
  std::vector<char> chunk(kChunk, 'q');
  for (size_t done = 0; done < bytes; done += kChunk) {
    uint32_t written = 0;
    file->Write(chunk.data(), kChunk, &written);
  }
}

void BM_WriteChunks(benchmark::State& state) {
  testing::SimTestMachine machine;
  FileSystem& fs = machine.platform().files();
  const size_t bytes = static_cast<size_t>(state.range(0)) << 20;
  for (auto _ : state) WriteFile(fs, "C:\\big.bin", bytes);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_WriteChunks)->Arg(64)->Unit(benchmark::kMillisecond);

void BM_ReadChunks(benchmark::State& state) {
  testing::SimTestMachine machine;
  FileSystem& fs = machine.platform().files();
  const size_t bytes = static_cast<size_t>(state.range(0)) << 20;
  WriteFile(fs, "C:\\big.bin", bytes);
  std::vector<char> chunk(kChunk);
  for (auto _ : state) {
    std::unique_ptr<File> file;
    fs.Open("C:\\big.bin", kGenericRead, kShareRead, Disposition::kOpenExisting, 0, &file);
    uint32_t read = 0;
    while (file->Read(chunk.data(), kChunk, &read) == kSuccess && read > 0) {
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_ReadChunks)->Arg(64)->Unit(benchmark::kMillisecond);

void BM_CopyWholeFile(benchmark::State& state) {
  testing::SimTestMachine machine;
  FileSystem& fs = machine.platform().files();
  const size_t bytes = static_cast<size_t>(state.range(0)) << 20;
  WriteFile(fs, "C:\\big.bin", bytes);
  for (auto _ : state) fs.Copy("C:\\big.bin", "D:\\big.bin", false);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_CopyWholeFile)->Arg(64)->Unit(benchmark::kMillisecond);

// The fixed cost a backup pays per small file: with the names spelt as stored (0), and in
// another case (1), which makes each folder be searched for a name that differs in case.
void BM_OpenSmallFile(benchmark::State& state) {
  testing::SimTestMachine machine;
  FileSystem& fs = machine.platform().files();
  fs.MakeFolder("C:\\Users\\jo\\VARNOLD");
  WriteFile(fs, "C:\\Users\\jo\\VARNOLD\\doc.pdf", kChunk);
  const std::string path =
      state.range(0) == 0 ? "C:\\Users\\jo\\VARNOLD\\doc.pdf" : "c:\\users\\JO\\varnold\\DOC.PDF";
  for (auto _ : state) {
    std::unique_ptr<File> file;
    fs.Open(path, kGenericRead, kShareRead, Disposition::kOpenExisting, 0, &file);
  }
}
BENCHMARK(BM_OpenSmallFile)->Arg(0)->Arg(1);

// A full listing (0) beside a walk's listing of names and attributes (1), of the same folder.
void BM_ListFolder(benchmark::State& state) {
  testing::SimTestMachine machine;
  FileSystem& fs = machine.platform().files();
  fs.MakeFolder("C:\\Box");
  for (int i = 0; i < state.range(1); ++i) {
    std::unique_ptr<File> file;
    fs.Open("C:\\Box\\file" + std::to_string(i) + ".pdf", kGenericWrite, 0, Disposition::kCreateNew,
            i % 10 == 0 ? kAttrReadOnly : kAttrNormal, &file);
  }
  std::vector<DirEntry> entries;
  for (auto _ : state) {
    if (state.range(0) == 0) {
      fs.Find("C:\\Box\\*.*", &entries);
    } else {
      fs.FindNamesAndAttributes("C:\\Box\\*.*", &entries);
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(1));
}
BENCHMARK(BM_ListFolder)->Args({0, 1000})->Args({1, 1000});

}  // namespace
}  // namespace qdw::platform

BENCHMARK_MAIN();
