#include "platform/sim/fault_injector.h"

#include <sys/stat.h>

#include <cstdio>

#include "platform/sim/watched_stat.h"
#include "platform/windows_path.h"

namespace qdw::sim {

using platform::WinError;

bool FaultInjector::HasFaults() const {
  struct stat st;
  return WatchedStat(rules_path_, &st) == 0;
}

WinError FaultInjector::Check(const std::string& operation, const std::string& path) const {
  if (!HasFaults()) return platform::kSuccess;
  WinError result = platform::kSuccess;
  store_.Update("faults.json", [&](Json& doc) {
    if (!doc.contains("rules")) return false;
    bool changed = false;
    for (Json& rule : doc["rules"]) {
      if (rule.value("op", "") != operation) continue;
      std::string pattern = rule.value("path", "");
      if (!pattern.empty() && !platform::WildcardMatch(pattern, path)) continue;
      uint64_t seen = rule.value("seen", 0ULL) + 1;
      rule["seen"] = seen;
      changed = true;
      uint64_t nth = rule.value("nth", 1ULL);
      uint64_t times = rule.value("times", 1ULL);
      if (result == platform::kSuccess && seen >= nth && (times == 0 || seen < nth + times)) {
        result = rule.value("error", 0u);
      }
    }
    return changed;
  });
  return result;
}

WinError FaultInjector::ChargeWrite(char drive, uint64_t bytes) const {
  if (!HasFaults()) return platform::kSuccess;
  WinError result = platform::kSuccess;
  std::string key(1, platform::ToUpperAnsi(drive));
  store_.Update("faults.json", [&](Json& doc) {
    if (!doc.contains("disk_full") || !doc["disk_full"].contains(key)) return false;
    uint64_t left = doc["disk_full"][key].get<uint64_t>();
    if (bytes > left) {
      result = platform::kErrorDiskFull;
      return false;
    }
    doc["disk_full"][key] = left - bytes;
    return true;
  });
  return result;
}

void FaultInjector::AddRule(const std::string& operation, uint32_t nth, WinError error,
                            const std::string& path_pattern, uint32_t times) const {
  store_.Update("faults.json", [&](Json& doc) {
    Json rule = {{"op", operation}, {"nth", nth}, {"error", error}, {"times", times}, {"seen", 0}};
    if (!path_pattern.empty()) rule["path"] = path_pattern;
    doc["rules"].push_back(rule);
    return true;
  });
}

void FaultInjector::SetDiskFull(char drive, uint64_t bytes_left) const {
  store_.Update("faults.json", [&](Json& doc) {
    doc["disk_full"][std::string(1, platform::ToUpperAnsi(drive))] = bytes_left;
    return true;
  });
}

void FaultInjector::Clear() const {
  store_.WithLock([&] { ::remove(rules_path_.c_str()); });
}

}  // namespace qdw::sim
