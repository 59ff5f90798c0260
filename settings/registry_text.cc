#include "settings/registry_text.h"

#include <algorithm>
#include <vector>

#include "platform/windows_path.h"

namespace qdw::settings {

bool ReadRegistryText(platform::RegistryKey& key, const std::string& value, uint32_t buffer_size,
                      std::string* text) {
  uint32_t type = platform::kRegNone;
  std::vector<uint8_t> data;
  if (key.QueryValue(value, buffer_size, &type, &data) != platform::kSuccess) return false;
  if (data.size() > buffer_size) return false;
  auto zero = std::find(data.begin(), data.end(), uint8_t{0});
  // Data that fills the whole buffer without a zero would have no room for its terminator.
  if (zero == data.end() && data.size() == buffer_size) return false;
  text->assign(data.begin(), zero);
  return true;
}

bool ReadFirstSubKeyName(platform::RegistryKey& key, std::string* name) {
  std::string found;
  if (key.EnumSubKey(0, &found) != platform::kSuccess) return false;
  if (found.size() >= platform::kMaxPath) return false;
  *name = found;
  return true;
}

bool FixedSizeTextData(const std::string& text, uint32_t size, std::vector<uint8_t>* data) {
  if (text.size() >= size) return false;
  data->assign(size, 0);
  std::copy(text.begin(), text.end(), data->begin());
  return true;
}

}  // namespace qdw::settings
