// The cached answer to "does this sidecar folder exist" must be a plain lookup's, whatever
// happened to the tree since the last question (folders made, moved, removed, put back) and
// whoever did it: within a port call, after this process's own changes too.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/sim/sidecar_folder_index.h"
#include "platform/sim/watched_stat.h"
#include "tests/platform/in_another_process.h"

namespace qdw::sim {
namespace {

namespace fs = std::filesystem;

bool PlainExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

TEST(SidecarFolderIndexTest, AnswersAsAPlainLookupThroughRandomChangesByAnyProcess) {
  const fs::path base = fs::path(::testing::TempDir()) / ("sidecars-" + std::to_string(::getpid()));
  fs::remove_all(base);
  fs::create_directories(base);
  const std::string meta = (base / "meta").string();
  // Every folder of depth one to three over two names a level, and a name below each.
  std::vector<std::string> paths;
  for (const char* a : {"A", "B"}) {
    paths.push_back(meta + "/" + a);
    for (const char* b : {"C", "D"}) {
      paths.push_back(meta + "/" + a + "/" + b);
      for (const char* c : {"E", "F"}) paths.push_back(meta + "/" + a + "/" + b + "/" + c);
    }
  }
  paths.push_back(meta);
  std::mt19937 random(7);
  auto pick = [&] { return paths[random() % paths.size()]; };
  for (int step = 0; step < 600; ++step) {
    const std::string path = pick();
    const std::string other = pick();
    const unsigned kind = random() % 5;
    std::error_code ignored;
    const char* const kNames[] = {"made", "removed", "moved", "wrote a sidecar at", "left"};
    const std::string done = std::string(kNames[kind]) + " " + path;
    auto change = [&] {
      switch (kind) {
        case 0:
          fs::create_directories(path, ignored);
          break;
        case 1:
          fs::remove_all(path, ignored);
          break;
        case 2:
          fs::rename(path, other, ignored);  // a folder moved, with whatever it holds
          break;
        case 3:
          std::ofstream(path + ".meta") << "{}";  // a sidecar, not a folder
          break;
        default:
          break;
      }
    };
    // Every other step happens within a port call that has asked already, so has read the queue.
    std::optional<WatchedStatCall> call;
    if (step % 2 == 1) {
      call.emplace();
      SidecarFolderExists(base.string(), pick());
    }
    if (step % 3 == 0) {
      testing::InAnotherProcess(change);  // the index hears of it only through the host
      // Another process's change is seen from this process's next port call on.
      if (call) {
        call.reset();
        call.emplace();
      }
    } else {
      const SidecarTreeChange changing;  // this process's own, seen within the same call
      change();
    }
    // In a fresh order each time, and twice: a remembered answer from before the change must
    // not be given after it, and a repeated question must get the same answer.
    std::vector<std::string> order = paths;
    std::shuffle(order.begin(), order.end(), random);
    for (const std::string& asked : order) {
      for (int again = 0; again < 2; ++again) {
        ASSERT_EQ(SidecarFolderExists(base.string(), asked), PlainExists(asked))
            << asked << " at step " << step << " after " << (step % 3 == 0 ? "a child " : "")
            << done;
      }
    }
  }
  fs::remove_all(base);
}

}  // namespace
}  // namespace qdw::sim
