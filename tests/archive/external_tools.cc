#include "tests/archive/external_tools.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace qdw::testing {

int RunShell(const std::string& command, std::string* output) {
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return -1;
  std::string text;
  char buffer[4096];
  size_t got = 0;
  while ((got = fread(buffer, 1, sizeof(buffer), pipe)) > 0) text.append(buffer, got);
  int status = ::pclose(pipe);
  if (output != nullptr) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

HostScratch::HostScratch() {
  const char* base = ::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/qdw-archive-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no scratch folder");
  path_ = pattern + "/";
}

HostScratch::~HostScratch() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void ExpectCabextractAccepts(const std::string& first_volume) {
  std::string output;
  EXPECT_EQ(RunShell("cabextract -t " + ShellQuote(first_volume), &output), 0) << output;
  EXPECT_NE(output.find("All done, no errors."), std::string::npos) << output;
}

std::vector<ListedEntry> CabextractList(const std::string& first_volume) {
  std::string output;
  EXPECT_EQ(RunShell("cabextract -l " + ShellQuote(first_volume), &output), 0) << output;
  std::vector<ListedEntry> entries;
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    size_t first = line.find(" | ");
    size_t second = first == std::string::npos ? first : line.find(" | ", first + 3);
    if (second == std::string::npos) continue;
    std::string size = line.substr(0, first);
    if (size.find_first_not_of(" 0123456789") != std::string::npos) continue;
    ListedEntry entry;
    entry.size = std::stol(size);
    entry.date_time = line.substr(first + 3, second - first - 3);
    entry.name = line.substr(second + 3);
    entries.push_back(entry);
  }
  return entries;
}

std::map<std::string, std::string> CabextractTree(const std::string& first_volume) {
  HostScratch target;
  std::string output;
  EXPECT_EQ(
      RunShell("cabextract -q -d " + ShellQuote(target.path()) + " " + ShellQuote(first_volume),
               &output),
      0)
      << output;
  std::map<std::string, std::string> tree;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(target.path())) {
    if (!entry.is_regular_file()) continue;
    std::string name = std::filesystem::relative(entry.path(), target.path()).generic_string();
    for (char& c : name) c = c == '/' ? '\\' : c;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    tree[name] = bytes.str();
  }
  return tree;
}

void GcabCreate(const std::string& cabinet, const std::string& folder,
                const std::vector<std::string>& names) {
  std::string command = "cd " + ShellQuote(folder) + " && gcab -c -z " + ShellQuote(cabinet);
  for (const std::string& name : names) command += " " + ShellQuote(name);
  std::string output;
  ASSERT_EQ(RunShell(command, &output), 0) << output;
}

}  // namespace qdw::testing
