// The cached stat() behind the stand-in's control files must answer as a plain stat() would,
// whatever happened to the file since the last question and whoever did it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/watched_stat.h"
#include "tests/platform/in_another_process.h"

namespace qdw::sim {
namespace {

namespace fs = std::filesystem;
using testing::InAnotherProcess;

void Write(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

void ExpectSameAsPlainStat(const std::string& path, const std::string& after) {
  struct stat plain {};
  struct stat watched {};
  errno = 0;
  int plain_result = ::stat(path.c_str(), &plain);
  int plain_error = errno;
  errno = 0;
  int watched_result = WatchedStat(path, &watched);
  ASSERT_EQ(watched_result, plain_result) << after;
  if (plain_result != 0) {
    EXPECT_EQ(errno, plain_error) << after;
    return;
  }
  EXPECT_EQ(watched.st_ino, plain.st_ino) << after;
  EXPECT_EQ(watched.st_size, plain.st_size) << after;
  EXPECT_EQ(watched.st_mode, plain.st_mode) << after;
  EXPECT_EQ(watched.st_mtim.tv_nsec, plain.st_mtim.tv_nsec) << after;
  EXPECT_EQ(watched.st_mtim.tv_sec, plain.st_mtim.tv_sec) << after;
}

TEST(WatchedStatTest, AnswersAsAPlainStatAfterEveryKindOfChangeByAnyProcess) {
  const fs::path folder =
      fs::path(::testing::TempDir()) / ("watched-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  const std::string file = (folder / "faults.json").string();
  const std::string other = (folder / "other.json").string();

  const std::vector<std::pair<std::string, std::function<void()>>> changes = {
      {"nothing yet", [] {}},
      {"created", [&] { Write(file, "{}"); }},
      {"asked again unchanged", [] {}},
      {"rewritten in place, same size", [&] { Write(file, "[]"); }},
      {"grown", [&] { Write(file, "{\"rules\":[]}"); }},
      {"times set back", [&] { fs::last_write_time(file, fs::file_time_type()); }},
      {"mode changed", [&] { fs::permissions(file, fs::perms::owner_read); }},
      {"replaced by a rename",
       [&] {
         Write(other, "{\"replaced\":true}");
         fs::rename(other, file);
       }},
      {"a neighbour changed", [&] { Write(other, "x"); }},
      {"renamed away", [&] { fs::rename(file, other); }},
      {"removed neighbour, file still gone", [&] { fs::remove(other); }},
      {"made a folder", [&] { fs::create_directory(file); }},
      {"folder removed", [&] { fs::remove(file); }},
      {"created again", [&] { Write(file, "{}"); }},
      {"removed", [&] { fs::remove(file); }},
  };
  for (const auto& change : changes) {
    change.second();
    ExpectSameAsPlainStat(file, change.first + " (this process)");
  }
  for (const auto& change : changes) {
    InAnotherProcess(change.second);
    ExpectSameAsPlainStat(file, change.first + " (another process)");
  }
  // A port call reads the queue at its first look only; a change finished before it is seen.
  for (const auto& change : changes) {
    InAnotherProcess(change.second);
    const WatchedStatCall call;
    ExpectSameAsPlainStat(file, change.first + " (another process, one call, first look)");
    ExpectSameAsPlainStat(file, change.first + " (another process, one call, second look)");
  }

  // The whole folder replaced, as a test does when it makes a fresh machine at the same place.
  Write(file, "old");
  ExpectSameAsPlainStat(file, "before the folder is replaced");
  fs::remove_all(folder);
  ExpectSameAsPlainStat(file, "folder removed");
  fs::create_directories(folder);
  Write(file, "new content");
  ExpectSameAsPlainStat(file, "folder made anew");
  fs::remove_all(folder);
}

}  // namespace
}  // namespace qdw::sim
