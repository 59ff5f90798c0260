#include "engine/restore/installation_swap.h"

#include "engine/common/archive_names.h"
#include "platform/file_checks.h"
#include "platform/windows_path.h"

namespace qdw::restore {

bool InstallationSwap::SetAside(const std::string& product_folder) {
  for (const char* tree : {engine::kRepositoryTree, engine::kRepositoryExtraTree}) {
    const std::string original = platform::JoinPath(product_folder, tree);
    if (!platform::PathExists(files_, original)) continue;
    const std::string kept = FreeKeptName(original);
    if (files_.Move(original, kept) != platform::kSuccess) {
      PutBack();
      return false;
    }
    kept_.emplace_back(original, kept);
  }
  return true;
}

void InstallationSwap::PutBack() {
  for (auto it = kept_.rbegin(); it != kept_.rend(); ++it) {
    const auto& [original, kept] = *it;
    if (platform::PathExists(files_, original)) {
      trees_.RemoveTree(original, engine::ReadOnlyHandling::kClear);
    }
    if (!platform::PathExists(files_, original)) files_.Move(kept, original);
  }
  kept_.clear();
}

void InstallationSwap::Discard() {
  for (const auto& entry : kept_) trees_.RemoveTree(entry.second, engine::ReadOnlyHandling::kClear);
  kept_.clear();
}

std::string InstallationSwap::FreeKeptName(const std::string& tree) {
  std::string name = tree + kKeptTreeSuffix;
  for (int n = 2; platform::PathExists(files_, name); ++n) {
    name = tree + kKeptTreeSuffix + std::to_string(n);
  }
  return name;
}

}  // namespace qdw::restore
