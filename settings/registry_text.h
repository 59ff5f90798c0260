// Reading registry values as text through a fixed-size buffer, the way the product's settings
// are read, without ever running past the stored data.
#ifndef QDW_SETTINGS_REGISTRY_TEXT_H_
#define QDW_SETTINGS_REGISTRY_TEXT_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace qdw::settings {

// Reads `value` of `key` into a buffer of `buffer_size` bytes, whatever its stored type. The
// text is the data up to its first zero byte. Fails when the value is missing, when it is
// larger than the buffer, or when it fills the buffer without a terminating zero.
bool ReadRegistryText(platform::RegistryKey& key, const std::string& value, uint32_t buffer_size,
                      std::string* text);

// Name of the subkey at enumeration index 0; fails when there is none or when its name does
// not fit a 260-byte buffer.
bool ReadFirstSubKeyName(platform::RegistryKey& key, std::string* name);

// `text` as REG_SZ data of exactly `size` bytes: the text, a zero and zeros up to `size`.
// Fails when the text and its terminating zero do not fit.
bool FixedSizeTextData(const std::string& text, uint32_t size, std::vector<uint8_t>* data);

}  // namespace qdw::settings

#endif  // QDW_SETTINGS_REGISTRY_TEXT_H_
