#include "tests/win32/win32_scratch_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>

namespace qdw::testing {
namespace {

void MakeFolders(const std::string& path) {
  for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
  }
  CreateDirectoryA(path.c_str(), nullptr);
}

void ReadTreeInto(const std::string& root, const std::string& relative,
                  std::map<std::string, std::string>* files) {
  const std::string folder = relative.empty() ? root : root + "\\" + relative;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    const std::string child = relative.empty() ? name : relative + "\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ReadTreeInto(root, child, files);
    } else {
      std::ifstream in(root + "\\" + child, std::ios::binary);
      std::stringstream content;
      content << in.rdbuf();
      (*files)[child] = content.str();
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

}  // namespace

ScratchFolder::ScratchFolder() {
  char temp[MAX_PATH];
  const DWORD length = GetTempPathA(sizeof(temp), temp);
  EXPECT_GT(length, 0u);
  static int counter = 0;
  std::string base(temp, length);
  if (!base.empty() && base.back() == '\\') base.pop_back();
  path_ =
      base + "\\qdwtest-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
  RemoveTree(path_);
  MakeFolders(path_);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

std::string ScratchFolder::Path(const std::string& relative) const {
  return path_ + "\\" + relative;
}

void ScratchFolder::Put(const std::string& relative, const std::string& content) const {
  const std::string full = Path(relative);
  MakeFolders(full.substr(0, full.rfind('\\')));
  std::ofstream out(full, std::ios::binary);
  out << content;
  EXPECT_TRUE(out.good()) << full;
}

std::map<std::string, std::string> ReadTree(const std::string& folder) {
  std::map<std::string, std::string> files;
  ReadTreeInto(folder, "", &files);
  return files;
}

bool RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string child = folder + "\\" + name;
      SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
  return GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool RunningUnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace qdw::testing
