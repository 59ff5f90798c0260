#include "tests/archive/stored_cabinet.h"

namespace qdw::testing {
namespace {

constexpr size_t kHeaderSize = 36;
constexpr size_t kFolderSize = 8;
constexpr size_t kFileFixedSize = 16;
constexpr size_t kDataHeaderSize = 8;
constexpr size_t kBlockSize = 32768;

void Put16(std::string* out, uint32_t value) {
  out->push_back(static_cast<char>(value & 0xFF));
  out->push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string* out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

}  // namespace

std::string BuildStoredCabinet(const std::vector<StoredEntry>& entries) {
  std::string data;
  for (const StoredEntry& entry : entries) data += entry.content;
  size_t files_size = 0;
  for (const StoredEntry& entry : entries) files_size += kFileFixedSize + entry.name.size() + 1;
  size_t blocks = (data.size() + kBlockSize - 1) / kBlockSize;
  size_t files_offset = kHeaderSize + kFolderSize;
  size_t data_offset = files_offset + files_size;
  size_t total = data_offset + blocks * kDataHeaderSize + data.size();

  std::string cabinet = "MSCF";
  Put32(&cabinet, 0);
  Put32(&cabinet, static_cast<uint32_t>(total));
  Put32(&cabinet, 0);
  Put32(&cabinet, static_cast<uint32_t>(files_offset));
  Put32(&cabinet, 0);
  cabinet.push_back(3);  // version 1.3
  cabinet.push_back(1);
  Put16(&cabinet, 1);  // folders
  Put16(&cabinet, static_cast<uint32_t>(entries.size()));
  Put16(&cabinet, 0);  // flags
  Put16(&cabinet, 1);  // set identifier
  Put16(&cabinet, 0);  // cabinet number

  Put32(&cabinet, static_cast<uint32_t>(data_offset));
  Put16(&cabinet, static_cast<uint32_t>(blocks));
  Put16(&cabinet, 0);  // no compression

  uint32_t offset = 0;
  for (const StoredEntry& entry : entries) {
    Put32(&cabinet, static_cast<uint32_t>(entry.content.size()));
    Put32(&cabinet, offset);
    Put16(&cabinet, 0);  // folder
    Put16(&cabinet, entry.dos_date);
    Put16(&cabinet, entry.dos_time);
    Put16(&cabinet, entry.attributes);
    cabinet += entry.name;
    cabinet.push_back('\0');
    offset += static_cast<uint32_t>(entry.content.size());
  }

  for (size_t start = 0; start < data.size(); start += kBlockSize) {
    std::string block = data.substr(start, kBlockSize);
    Put32(&cabinet, 0);  // no checksum
    Put16(&cabinet, static_cast<uint32_t>(block.size()));
    Put16(&cabinet, static_cast<uint32_t>(block.size()));
    cabinet += block;
  }
  return cabinet;
}

}  // namespace qdw::testing
