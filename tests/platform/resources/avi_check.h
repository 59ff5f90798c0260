// Reads an AVI clip far enough to tell whether the Windows animation control can play it: one
// video stream, no sound, uncompressed or RLE8 frames that decode within the picture.
#ifndef QDW_TESTS_PLATFORM_RESOURCES_AVI_CHECK_H_
#define QDW_TESTS_PLATFORM_RESOURCES_AVI_CHECK_H_

#include <cstdint>
#include <string>
#include <vector>

namespace qdw::resources::testing {

struct AviClip {
  uint32_t micro_seconds_per_frame = 0;
  uint32_t total_frames = 0;
  uint32_t streams = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  std::string stream_type;   // "vids" for video
  uint32_t compression = 0;  // 0 uncompressed, 1 RLE8
  uint16_t bit_count = 0;
  uint32_t palette_entries = 0;
  std::vector<std::vector<uint8_t>> frames;  // the "00dc"/"00db" chunks of the movie list
  uint32_t index_entries = 0;
};

// False with a reason when the bytes are not a RIFF "AVI " clip with the lists we read.
bool ReadAviClip(const std::vector<uint8_t>& bytes, AviClip* clip, std::string* error);

// Decodes one RLE8 key frame; false with a reason when it writes outside the picture, is cut
// short, or leaves pixels unwritten.
bool DecodeRle8KeyFrame(const std::vector<uint8_t>& data, uint32_t width, uint32_t height,
                        std::string* error);

}  // namespace qdw::resources::testing

#endif  // QDW_TESTS_PLATFORM_RESOURCES_AVI_CHECK_H_
