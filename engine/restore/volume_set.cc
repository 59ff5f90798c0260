#include "engine/restore/volume_set.h"

#include <cctype>

namespace qdw::restore {

namespace {

using engine::kFirstVolumeMark;

constexpr size_t kExtensionLength = sizeof(engine::kArchiveExtension) - 1;

}  // namespace

long VolumeCountFromName(const std::string& file_name) {
  const size_t mark = file_name.find(kFirstVolumeMark);
  if (mark == std::string::npos) return 0;
  std::string count = file_name.substr(mark + sizeof(kFirstVolumeMark) - 1);
  count = count.size() > kExtensionLength ? count.substr(0, count.size() - kExtensionLength)
                                          : std::string();
  // atoi skips leading white space and takes a sign.
  size_t i = 0;
  while (i < count.size() && std::isspace(static_cast<unsigned char>(count[i]))) ++i;
  bool negative = false;
  if (i < count.size() && (count[i] == '+' || count[i] == '-')) negative = count[i++] == '-';
  long value = 0;
  for (; i < count.size() && std::isdigit(static_cast<unsigned char>(count[i])); ++i) {
    value = value * 10 + (count[i] - '0');
    if (value > engine::kMaxVolumeCount) return -1;
  }
  return negative ? -value : value;
}

std::vector<std::string> ContinuationVolumeNames(const std::string& file_name, long count) {
  std::vector<std::string> names;
  const std::string base = file_name.substr(0, file_name.find(kFirstVolumeMark));
  for (long i = 2; i <= count; ++i) {
    names.push_back(base + engine::kContinuationMark + std::to_string(i) +
                    engine::kArchiveExtension);
  }
  return names;
}

}  // namespace qdw::restore
