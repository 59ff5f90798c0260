#include "engine/restore/installation_swap.h"

namespace qdw::restore {

bool InstallationSwap::SetAside(const std::string& product_folder) {
  for (const char* tree : {"QDW", "QDWie"}) {
    const std::string original = product_folder + "\\" + tree;
    if (!Exists(original)) continue;
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
    if (Exists(original)) trees_.RemoveTree(original, engine::ReadOnlyHandling::kClear);
    if (!Exists(original)) files_.Move(kept, original);
  }
  kept_.clear();
}

void InstallationSwap::Discard() {
  for (const auto& entry : kept_) trees_.RemoveTree(entry.second, engine::ReadOnlyHandling::kClear);
  kept_.clear();
}

std::string InstallationSwap::FreeKeptName(const std::string& tree) {
  std::string name = tree + kKeptTreeSuffix;
  for (int n = 2; Exists(name); ++n) name = tree + kKeptTreeSuffix + std::to_string(n);
  return name;
}

bool InstallationSwap::Exists(const std::string& path) {
  uint32_t attributes = 0;
  return files_.ReadAttributes(path, &attributes) == platform::kSuccess;
}

}  // namespace qdw::restore
