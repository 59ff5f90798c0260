// Small unpacked files kept in memory until a batch of them can be put in place at once: one
// port call for many new files instead of an open, a write, a stamp and a close for each.
#ifndef QDW_EXTRACTOR_PENDING_TARGETS_H_
#define QDW_EXTRACTOR_PENDING_TARGETS_H_

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

namespace qdw::extractor {

class PendingTargets {
 public:
  // Larger files are written as they are unpacked.
  static constexpr uint32_t kMaxFileBytes = 64 * 1024;
  // Bounds of what waits: memory stays small and a batch large enough to share.
  static constexpr size_t kMaxFiles = 512;
  static constexpr size_t kMaxBytes = 8 << 20;

  // How a flush ended: as CreateTarget failing, or as a write failing, would end a file.
  enum class Failure { kNone, kNotCreated, kNotWritten };

  static bool Takes(uint32_t size) { return size <= kMaxFileBytes; }
  // True when a file of `size` at `target` may join those waiting without a flush first: the
  // bounds hold and no waiting file has its name (the later one must win).
  bool Fits(const std::string& target, uint32_t size) const;
  // A handle for the file's bytes; it never equals a runtime file handle.
  intptr_t Add(std::string target, uint32_t size);
  bool Holds(intptr_t handle) const;
  void Append(intptr_t handle, const void* data, unsigned int count);
  // The file is whole; its stored stamp and attributes are set when it is put in place. A file
  // never finished (its unpacking failed) is never put in place.
  void Finish(intptr_t handle, uint16_t dos_date, uint16_t dos_time, uint16_t attributes);

  // Puts the finished files in place in their order, calling `written` after each, and forgets
  // them all. Ends at the first file that fails.
  Failure Flush(const std::function<void()>& written);
  void Clear();

 private:
  struct Target {
    std::string path;
    std::string data;
    uint16_t dos_date = 0;
    uint16_t dos_time = 0;
    uint16_t attributes = 0;
    bool finished = false;
  };
  Target* Find(intptr_t handle);

  std::vector<Target> targets_;
  std::unordered_set<std::string> names_;  // upper case, as the file system compares them
  size_t bytes_ = 0;
};

}  // namespace qdw::extractor

#endif  // QDW_EXTRACTOR_PENDING_TARGETS_H_
