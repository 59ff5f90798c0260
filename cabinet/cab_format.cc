#include "cabinet/cab_format.h"

#include <cstring>

namespace qdw::cab {

size_t EncodeHeaderFields(const HeaderFields& fields, uint8_t* out) {
  std::memset(out, 0, kHeaderFixedSize);
  std::memcpy(out, kSignature, 4);
  PutU32(out + 8, fields.cbCabinet);
  PutU32(out + 16, fields.coffFiles);
  out[24] = fields.versionMinor;
  out[25] = fields.versionMajor;
  PutU16(out + 26, fields.cFolders);
  PutU16(out + 28, fields.cFiles);
  PutU16(out + 30, fields.flags);
  PutU16(out + 32, fields.setID);
  PutU16(out + 34, fields.iCabinet);
  if ((fields.flags & kFlagReservePresent) == 0) return kHeaderFixedSize;
  PutU16(out + 36, fields.cbCFHeader);
  out[38] = fields.cbCFFolder;
  out[39] = fields.cbCFData;
  return kHeaderFixedSize + kHeaderReserveFieldsSize;
}

void DecodeHeaderFixed(const uint8_t* in, HeaderFields* fields) {
  fields->cbCabinet = GetU32(in + 8);
  fields->coffFiles = GetU32(in + 16);
  fields->versionMinor = in[24];
  fields->versionMajor = in[25];
  fields->cFolders = GetU16(in + 26);
  fields->cFiles = GetU16(in + 28);
  fields->flags = GetU16(in + 30);
  fields->setID = GetU16(in + 32);
  fields->iCabinet = GetU16(in + 34);
}

void EncodeFolderEntry(uint32_t coffCabStart, uint16_t cCFData, uint16_t typeCompress,
                       uint8_t* out) {
  PutU32(out, coffCabStart);
  PutU16(out + 4, cCFData);
  PutU16(out + 6, typeCompress);
}

size_t EncodeFileEntry(const FileFields& fields, const char* name, size_t nameLength,
                       uint8_t* out) {
  PutU32(out, fields.cbFile);
  PutU32(out + 4, fields.uoffFolderStart);
  PutU16(out + 8, fields.iFolder);
  PutU16(out + 10, fields.date);
  PutU16(out + 12, fields.time);
  PutU16(out + 14, fields.attribs);
  std::memcpy(out + kFileEntryFixedSize, name, nameLength);
  out[kFileEntryFixedSize + nameLength] = 0;
  return kFileEntryFixedSize + nameLength + 1;
}

void DecodeFileFields(const uint8_t* in, FileFields* fields) {
  fields->cbFile = GetU32(in);
  fields->uoffFolderStart = GetU32(in + 4);
  fields->iFolder = GetU16(in + 8);
  fields->date = GetU16(in + 10);
  fields->time = GetU16(in + 12);
  fields->attribs = GetU16(in + 14);
}

void EncodeDataHeader(uint32_t csum, uint16_t cbData, uint16_t cbUncomp, uint8_t* out) {
  PutU32(out, csum);
  PutU16(out + 4, cbData);
  PutU16(out + 6, cbUncomp);
}

}  // namespace qdw::cab
