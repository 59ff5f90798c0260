#include "tests/cabinet/cab_crafter.h"

#include <zlib.h>

namespace qdw::cab::testing {
namespace {

void PutU16(std::string* out, uint16_t value) {
  out->push_back(static_cast<char>(value));
  out->push_back(static_cast<char>(value >> 8));
}

void PutU32(std::string* out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>(value >> (8 * i)));
}

}  // namespace

uint32_t ReferenceChecksum(const std::string& payload, uint16_t cb_uncomp) {
  std::string bytes = payload;
  size_t words = bytes.size() / 4;
  uint32_t sum = 0;
  for (size_t i = 0; i < words; ++i) sum ^= ReadU32(bytes, 4 * i);
  uint32_t tail = 0;
  for (size_t i = 4 * words; i < bytes.size(); ++i)
    tail = tail << 8 | static_cast<uint8_t>(bytes[i]);
  sum ^= tail;
  // The sizes are four more bytes, XORed as one little-endian word.
  return sum ^ (static_cast<uint32_t>(payload.size() & 0xFFFF) | uint32_t{cb_uncomp} << 16);
}

std::string MszipPayload(const std::string& data) {
  z_stream stream{};
  deflateInit2(&stream, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, data.size()) + 2, '\0');
  out[0] = 'C';
  out[1] = 'K';
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(&out[2]);
  stream.avail_out = static_cast<uInt>(out.size() - 2);
  deflate(&stream, Z_FINISH);
  out.resize(out.size() - stream.avail_out);
  deflateEnd(&stream);
  return out;
}

CraftCabinet SimpleCabinet(const std::vector<std::pair<std::string, std::string>>& files) {
  CraftCabinet cabinet;
  cabinet.folders.resize(1);
  std::string stream;
  for (const auto& [name, bytes] : files) {
    cabinet.files.push_back(
        {name, static_cast<uint32_t>(bytes.size()), static_cast<uint32_t>(stream.size()), 0, 0x20});
    stream += bytes;
  }
  for (size_t pos = 0; pos < stream.size(); pos += 32768) {
    std::string block = stream.substr(pos, 32768);
    cabinet.folders[0].blocks.push_back(
        {MszipPayload(block), static_cast<uint16_t>(block.size()), true});
  }
  return cabinet;
}

std::string Craft(const CraftCabinet& cabinet) {
  uint16_t flags = (cabinet.prev_cabinet.empty() ? 0 : 1) | (cabinet.next_cabinet.empty() ? 0 : 2);
  std::string links;
  if (flags & 1) links += cabinet.prev_cabinet + '\0' + cabinet.prev_disk + '\0';
  if (flags & 2) links += cabinet.next_cabinet + '\0' + cabinet.next_disk + '\0';
  std::string entries;
  for (const CraftFile& file : cabinet.files) {
    PutU32(&entries, file.size);
    PutU32(&entries, file.offset);
    PutU16(&entries, file.folder);
    PutU16(&entries, 0x5A21);  // 2025-01-01
    PutU16(&entries, 0x6000);  // 12:00:00
    PutU16(&entries, file.attribs);
    entries += file.name + '\0';
  }
  size_t coff_files = 36 + links.size() + 8 * cabinet.folders.size();
  size_t data_offset = coff_files + entries.size();
  std::string folders;
  std::string data;
  for (const CraftFolder& folder : cabinet.folders) {
    PutU32(&folders, static_cast<uint32_t>(data_offset + data.size()));
    PutU16(&folders, static_cast<uint16_t>(folder.blocks.size()));
    PutU16(&folders, folder.type);
    for (const CraftBlock& block : folder.blocks) {
      uint16_t cb_data = static_cast<uint16_t>(block.payload.size());
      uint32_t csum = block.with_checksum ? ReferenceChecksum(block.payload, block.cb_uncomp) : 0;
      PutU32(&data, csum);
      PutU16(&data, cb_data);
      PutU16(&data, block.cb_uncomp);
      data += block.payload;
    }
  }
  std::string out = "MSCF";
  PutU32(&out, 0);
  PutU32(&out, static_cast<uint32_t>(data_offset + data.size()));
  PutU32(&out, 0);
  PutU32(&out, static_cast<uint32_t>(coff_files));
  PutU32(&out, 0);
  out.push_back(3);
  out.push_back(static_cast<char>(cabinet.version_major));
  PutU16(&out, static_cast<uint16_t>(cabinet.folders.size()));
  PutU16(&out, static_cast<uint16_t>(cabinet.files.size()));
  PutU16(&out, flags);
  PutU16(&out, cabinet.set_id);
  PutU16(&out, cabinet.index);
  return out + links + folders + entries + data;
}

void PatchU16(std::string* bytes, size_t offset, uint16_t value) {
  (*bytes)[offset] = static_cast<char>(value);
  (*bytes)[offset + 1] = static_cast<char>(value >> 8);
}

void PatchU32(std::string* bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) (*bytes)[offset + i] = static_cast<char>(value >> (8 * i));
}

uint32_t ReadU32(const std::string& bytes, size_t offset) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[offset + i]);
  return value;
}

}  // namespace qdw::cab::testing
