#include "tests/platform/resources/avi_check.h"

#include "platform/resources/byte_view.h"

namespace qdw::resources::testing {
namespace {

std::string FourCc(const ByteView& view, size_t at) {
  if (!view.Contains(at, 4)) return std::string();
  return std::string(reinterpret_cast<const char*>(view.data() + at), 4);
}

// Calls visit(fourcc, body offset, body size) for every chunk between begin and end; LIST
// chunks are reported with their list type as fourcc and their content as body.
template <typename Visit>
bool Chunks(const ByteView& view, size_t begin, size_t end, std::string* error, Visit visit) {
  size_t at = begin;
  while (at + 8 <= end) {
    uint32_t size = 0;
    view.U32(at + 4, &size);
    if (size > end - at - 8) {
      *error = "chunk " + FourCc(view, at) + " runs past its list";
      return false;
    }
    const std::string id = FourCc(view, at);
    if (id == "LIST") {
      if (size < 4) {
        *error = "empty LIST";
        return false;
      }
      if (!visit(FourCc(view, at + 8), at + 12, size - 4)) return false;
    } else if (!visit(id, at + 8, size)) {
      return false;
    }
    at += 8 + size + (size & 1);
  }
  return true;
}

}  // namespace

bool ReadAviClip(const std::vector<uint8_t>& bytes, AviClip* clip, std::string* error) {
  const ByteView view(bytes);
  uint32_t riff_size = 0;
  if (FourCc(view, 0) != "RIFF" || FourCc(view, 8) != "AVI " || !view.U32(4, &riff_size) ||
      riff_size + 8 > bytes.size()) {
    *error = "not a RIFF AVI clip";
    return false;
  }
  bool have_header = false;
  bool have_format = false;
  auto stream = [&](const std::string& id, size_t body, size_t size) {
    if (id == "strh" && size >= 56) clip->stream_type = FourCc(view, body);
    if (id == "strf" && size >= 40) {
      view.U32(body + 16, &clip->compression);
      view.U16(body + 14, &clip->bit_count);
      view.U32(body + 32, &clip->palette_entries);
      have_format = true;
    }
    return true;
  };
  auto header = [&](const std::string& id, size_t body, size_t size) {
    if (id == "avih" && size >= 56) {
      view.U32(body, &clip->micro_seconds_per_frame);
      view.U32(body + 16, &clip->total_frames);
      view.U32(body + 24, &clip->streams);
      view.U32(body + 32, &clip->width);
      view.U32(body + 36, &clip->height);
      have_header = true;
    }
    if (id == "strl") return Chunks(view, body, body + size, error, stream);
    return true;
  };
  auto movie = [&](const std::string& id, size_t body, size_t size) {
    if (id == "00dc" || id == "00db") {
      clip->frames.emplace_back(bytes.begin() + static_cast<long>(body),
                                bytes.begin() + static_cast<long>(body + size));
    }
    return true;
  };
  auto top = [&](const std::string& id, size_t body, size_t size) {
    if (id == "hdrl") return Chunks(view, body, body + size, error, header);
    if (id == "movi") return Chunks(view, body, body + size, error, movie);
    if (id == "idx1") clip->index_entries = static_cast<uint32_t>(size / 16);
    return true;
  };
  if (!Chunks(view, 12, 8 + riff_size, error, top)) return false;
  if (!have_header || !have_format) {
    *error = "the clip lacks its main header or its stream format";
    return false;
  }
  return true;
}

bool DecodeRle8KeyFrame(const std::vector<uint8_t>& data, uint32_t width, uint32_t height,
                        std::string* error) {
  std::vector<bool> written(static_cast<size_t>(width) * height, false);
  uint32_t x = 0;
  uint32_t y = 0;  // rows run bottom up; only the count matters here
  size_t at = 0;
  auto put = [&](uint32_t count) {
    if (y >= height || count > width - x) return false;
    for (uint32_t i = 0; i < count; ++i) written[static_cast<size_t>(y) * width + x + i] = true;
    x += count;
    return true;
  };
  for (;;) {
    if (at + 2 > data.size()) {
      *error = "frame ends without an end-of-bitmap code";
      return false;
    }
    const uint8_t first = data[at];
    const uint8_t second = data[at + 1];
    at += 2;
    if (first > 0) {
      if (!put(first)) {
        *error = "run outside the picture";
        return false;
      }
    } else if (second == 0) {  // end of line
      x = 0;
      ++y;
    } else if (second == 1) {  // end of bitmap
      break;
    } else if (second == 2) {
      *error = "a key frame must not skip pixels";
      return false;
    } else {  // absolute run, padded to a whole word
      if (at + second > data.size() || !put(second)) {
        *error = "absolute run outside the picture";
        return false;
      }
      at += second + (second & 1);
    }
  }
  for (bool w : written) {
    if (!w) {
      *error = "the frame leaves pixels unwritten";
      return false;
    }
  }
  return true;
}

}  // namespace qdw::resources::testing
