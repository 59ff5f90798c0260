// Constants and record layouts of the Microsoft Cabinet format (CFHEADER, CFFOLDER, CFFILE,
// CFDATA), shared by the writer and the reader. All integers are little-endian.
#ifndef QDW_CABINET_CAB_FORMAT_H_
#define QDW_CABINET_CAB_FORMAT_H_

#include <cstddef>
#include <cstdint>

namespace qdw::cab {

inline constexpr uint8_t kSignature[4] = {'M', 'S', 'C', 'F'};
inline constexpr uint8_t kVersionMinor = 3;
inline constexpr uint8_t kVersionMajor = 1;

inline constexpr size_t kHeaderFixedSize = 36;
inline constexpr size_t kHeaderReserveFieldsSize = 4;  // cbCFHeader, cbCFFolder, cbCFData
inline constexpr size_t kFolderEntrySize = 8;
inline constexpr size_t kFileEntryFixedSize = 16;
inline constexpr size_t kDataHeaderSize = 8;

inline constexpr uint16_t kFlagPrevCabinet = 0x0001;
inline constexpr uint16_t kFlagNextCabinet = 0x0002;
inline constexpr uint16_t kFlagReservePresent = 0x0004;

// iFolder values of files whose data crosses a volume boundary.
inline constexpr uint16_t kFolderContinuedFromPrev = 0xFFFD;
inline constexpr uint16_t kFolderContinuedToNext = 0xFFFE;
inline constexpr uint16_t kFolderContinuedPrevAndNext = 0xFFFF;

inline constexpr uint16_t kCompressNone = 0;
inline constexpr uint16_t kCompressMszip = 1;
inline constexpr uint16_t kCompressTypeMask = 0x000F;

// Every block but a folder's last holds this many uncompressed bytes.
inline constexpr uint32_t kBlockSize = 32768;
// Largest compressed payload of one block (split fragments joined), as readers accept it.
inline constexpr uint32_t kMaxBlockPayload = 32768 + 6144;
// Largest uncompressed folder: 65535 full blocks.
inline constexpr uint32_t kMaxFolderBytes = 0x7FFF8000;
inline constexpr uint32_t kMaxHeaderReserve = 60000;
inline constexpr uint32_t kMaxFolderReserve = 255;
inline constexpr uint32_t kMaxDataReserve = 255;
// Longest name (file, cabinet or disk) before its terminator.
inline constexpr size_t kMaxNameLength = 255;
// Most files, folders and data blocks of a folder in one cabinet.
inline constexpr uint32_t kMaxCount = 65535;

inline void PutU16(uint8_t* out, uint16_t value) {
  out[0] = static_cast<uint8_t>(value);
  out[1] = static_cast<uint8_t>(value >> 8);
}
inline void PutU32(uint8_t* out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}
inline uint16_t GetU16(const uint8_t* in) { return static_cast<uint16_t>(in[0] | in[1] << 8); }
inline uint32_t GetU32(const uint8_t* in) {
  return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 |
         static_cast<uint32_t>(in[2]) << 16 | static_cast<uint32_t>(in[3]) << 24;
}

// The fixed CFHEADER fields plus the reserve sizes.
struct HeaderFields {
  uint32_t cbCabinet = 0;
  uint32_t coffFiles = 0;
  uint8_t versionMinor = kVersionMinor;
  uint8_t versionMajor = kVersionMajor;
  uint16_t cFolders = 0;
  uint16_t cFiles = 0;
  uint16_t flags = 0;
  uint16_t setID = 0;
  uint16_t iCabinet = 0;
  uint16_t cbCFHeader = 0;
  uint8_t cbCFFolder = 0;
  uint8_t cbCFData = 0;
};

// The fixed part of one CFFILE entry.
struct FileFields {
  uint32_t cbFile = 0;
  uint32_t uoffFolderStart = 0;
  uint16_t iFolder = 0;
  uint16_t date = 0;
  uint16_t time = 0;
  uint16_t attribs = 0;
};

// Writes the 36 fixed bytes and, with kFlagReservePresent, the 4 reserve-size bytes; returns
// the count written.
size_t EncodeHeaderFields(const HeaderFields& fields, uint8_t* out);
void DecodeHeaderFixed(const uint8_t* in, HeaderFields* fields);

void EncodeFolderEntry(uint32_t coffCabStart, uint16_t cCFData, uint16_t typeCompress,
                       uint8_t* out);
// Writes the entry with its name and terminator; returns kFileEntryFixedSize + nameLength + 1.
size_t EncodeFileEntry(const FileFields& fields, const char* name, size_t nameLength, uint8_t* out);
void DecodeFileFields(const uint8_t* in, FileFields* fields);

void EncodeDataHeader(uint32_t csum, uint16_t cbData, uint16_t cbUncomp, uint8_t* out);

}  // namespace qdw::cab

#endif  // QDW_CABINET_CAB_FORMAT_H_
