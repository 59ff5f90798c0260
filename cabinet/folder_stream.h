// The uncompressed stream of one folder, decoded block by block from its volume. When the
// folder's blocks in that volume run out (or end with a split fragment) and more data is
// needed, the stream asks for the next volume and goes on with that volume's first folder.
// Every block is checked: sizes, checksum, and a decode to exactly its stated size.
#ifndef QDW_CABINET_FOLDER_STREAM_H_
#define QDW_CABINET_FOLDER_STREAM_H_

#include <cstddef>
#include <cstdint>

#include "cabinet/cab_format.h"
#include "cabinet/cab_memory.h"
#include "cabinet/fdi_callbacks.h"
#include "cabinet/mszip_decoder.h"

namespace qdw::cab {

// Where the blocks of a folder lie in one volume.
struct BlockSource {
  intptr_t hf = -1;
  uint64_t offset = 0;       // next CFDATA record
  uint32_t blocks_left = 0;  // CFDATA records of the folder still unread in this volume
  uint8_t data_reserve = 0;
  bool continues = false;  // the folder goes on in the next volume
};

// Opens the volume after the current one and describes its first folder.
class NextVolumeOpener {
 public:
  virtual ~NextVolumeOpener() = default;
  // FDIERROR_NONE with `source` replaced (the old handle is the opener's to close), or a code.
  virtual int OpenNext(uint16_t type_compress, BlockSource* source) = 0;
};

class FolderStream {
 public:
  FolderStream(const FdiCallbacks* io, const MemoryCallbacks* memory);
  bool Init();

  // Starts at the beginning of a folder. The stream reads through `source`, which must stay
  // alive while the folder is read.
  void Start(BlockSource* source, uint16_t type_compress, NextVolumeOpener* opener);
  uint64_t position() const { return position_; }

  // Moves `count` bytes of the stream to the open file `target`, or drops them when target is
  // -1. FDIERROR_NONE or the code of the first problem.
  int Transfer(uint64_t count, intptr_t target);

 private:
  int NextBlock();
  int ReadRecord(uint32_t* joined, uint16_t* cb_uncomp);

  const FdiCallbacks* io_;
  CabVector<uint8_t> input_;
  CabVector<uint8_t> output_;
  MszipDecoder decoder_;
  BlockSource* source_ = nullptr;
  NextVolumeOpener* opener_ = nullptr;
  uint16_t type_ = kCompressMszip;
  uint64_t position_ = 0;
  size_t out_size_ = 0;
  size_t out_pos_ = 0;
};

}  // namespace qdw::cab

#endif  // QDW_CABINET_FOLDER_STREAM_H_
