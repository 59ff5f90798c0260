#include "tests/cabinet/test_tree.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace qdw::cab::testing {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base ? base : "/tmp") + "/cabtest-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back(0);
  char* made = mkdtemp(buffer.data());
  path_ = std::string(made ? made : "/tmp/cabtest-failed") + "/";
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string ScratchDir::Sub(const std::string& relative) const {
  std::string full = path_ + relative;
  if (full.back() != '/') full += '/';
  fs::create_directories(full);
  return full;
}

void ScratchDir::MakeFolder(const std::string& path) { fs::create_directories(path); }

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

std::vector<SourceFile> ListTree(const std::string& root) {
  std::vector<SourceFile> files;
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    if (!item.is_regular_file()) continue;
    std::string relative = fs::relative(item.path(), root).generic_string();
    for (char& c : relative) {
      if (c == '/') c = '\\';
    }
    files.push_back({item.path().string(), relative});
  }
  std::sort(files.begin(), files.end(),
            [](const SourceFile& a, const SourceFile& b) { return a.stored_name < b.stored_name; });
  return files;
}

std::map<std::string, std::string> SnapshotTree(const std::string& root) {
  std::map<std::string, std::string> snapshot;
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    if (!item.is_regular_file()) continue;
    snapshot[fs::relative(item.path(), root).generic_string()] =
        ReadFileBytes(item.path().string());
  }
  return snapshot;
}

int RunCommand(const std::string& command, std::string* output) {
  std::string full = command + " 2>&1";
  FILE* pipe = popen(full.c_str(), "r");
  if (pipe == nullptr) return -1;
  std::string text;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof(buffer), pipe)) > 0) text.append(buffer, got);
  int status = pclose(pipe);
  if (output != nullptr) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

std::string CabdumpPath() {
  std::string path = QDW_CABDUMP_PATH;
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? path : "";
}

}  // namespace qdw::cab::testing
