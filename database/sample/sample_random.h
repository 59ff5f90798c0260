// A small deterministic random source for the sample data: the same seed gives the same
// repository on every machine and compiler (the standard distributions do not promise that).
#ifndef QDW_DATABASE_SAMPLE_SAMPLE_RANDOM_H_
#define QDW_DATABASE_SAMPLE_SAMPLE_RANDOM_H_

#include <cstdint>
#include <vector>

namespace qdw::database::sample {

// SplitMix64.
class SampleRandom {
 public:
  explicit SampleRandom(uint64_t seed) : state_(seed) {}

  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // 0 <= result < bound (bound > 0).
  uint64_t Below(uint64_t bound) { return Next() % bound; }
  // low <= result <= high.
  uint64_t Between(uint64_t low, uint64_t high) { return low + Below(high - low + 1); }
  // True with the probability percent / 100.
  bool Percent(uint32_t percent) { return Below(100) < percent; }
  template <typename T>
  const T& Pick(const std::vector<T>& items) {
    return items[Below(items.size())];
  }

 private:
  uint64_t state_;
};

}  // namespace qdw::database::sample

#endif  // QDW_DATABASE_SAMPLE_SAMPLE_RANDOM_H_
