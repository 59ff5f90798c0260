// Hand-made single-volume cabinets with uncompressed data, for names and layouts our writer
// never produces (hostile stored names, over-long names).
#ifndef QDW_TESTS_ARCHIVE_STORED_CABINET_H_
#define QDW_TESTS_ARCHIVE_STORED_CABINET_H_

#include <cstdint>
#include <string>
#include <vector>

namespace qdw::testing {

struct StoredEntry {
  std::string name;  // stored exactly as given
  std::string content;
  uint16_t attributes = 0x20;
  uint16_t dos_date = (46 << 9) | (3 << 5) | 14;   // 2026-03-14
  uint16_t dos_time = (16 << 11) | (9 << 5) | 13;  // 16:09:26
};

// The bytes of a cabinet holding `entries` in one folder without compression.
std::string BuildStoredCabinet(const std::vector<StoredEntry>& entries);

}  // namespace qdw::testing

#endif  // QDW_TESTS_ARCHIVE_STORED_CABINET_H_
