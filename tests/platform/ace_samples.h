// Access entries of kinds the ports carry as bytes, laid out as Windows stores them: an object
// entry (one object type GUID) and a callback entry with application data after its SID.
#ifndef QDW_TESTS_PLATFORM_ACE_SAMPLES_H_
#define QDW_TESTS_PLATFORM_ACE_SAMPLES_H_

#include <cstdint>
#include <vector>

#include "platform/security_types.h"

namespace qdw::testing {

inline void AppendU32(std::vector<uint8_t>* out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Header (type, flags, 16-bit size), mask, then `body`.
inline std::vector<uint8_t> AceBytes(uint8_t type, uint8_t flags, uint32_t mask,
                                     const std::vector<uint8_t>& body) {
  std::vector<uint8_t> out = {type, flags, 0, 0};
  AppendU32(&out, mask);
  out.insert(out.end(), body.begin(), body.end());
  out[2] = static_cast<uint8_t>(out.size());
  out[3] = static_cast<uint8_t>(out.size() >> 8);
  return out;
}

inline platform::Ace ObjectAce(uint8_t flags, uint32_t mask, const platform::Sid& sid) {
  std::vector<uint8_t> body;
  AppendU32(&body, 1);  // ACE_OBJECT_TYPE_PRESENT
  for (uint8_t i = 0; i < 16; ++i) body.push_back(static_cast<uint8_t>(0xA0 + i));
  body.insert(body.end(), sid.bytes.begin(), sid.bytes.end());
  return platform::Ace::Opaque(AceBytes(platform::kAceAccessAllowedObject, flags, mask, body));
}

inline platform::Ace CallbackAce(uint8_t flags, uint32_t mask, const platform::Sid& sid) {
  std::vector<uint8_t> body = sid.bytes;
  for (char c : {'a', 'r', 't', 'x', '\0', '\0', '\0', '\0'})
    body.push_back(static_cast<uint8_t>(c));
  return platform::Ace::Opaque(AceBytes(platform::kAceAccessAllowedCallback, flags, mask, body));
}

}  // namespace qdw::testing

#endif  // QDW_TESTS_PLATFORM_ACE_SAMPLES_H_
