// The uncompressed stream of one folder, decoded block by block from its volume. When the
// folder's blocks in that volume run out (or end with a split fragment) and more data is
// needed, the stream asks for the next volume and goes on with that volume's first folder.
// Every block is checked: sizes, checksum, and a decode to exactly its stated size.
//
// While the caller writes out data, the stream reads ahead (on the caller's thread, through
// its callbacks) the following blocks of the folder and of the folders planned after it, and
// decoder threads decode them. Reading ahead never opens another volume and never reports a
// problem before the caller reaches the data it concerns.
#ifndef QDW_CABINET_FOLDER_STREAM_H_
#define QDW_CABINET_FOLDER_STREAM_H_

#include <cstddef>
#include <cstdint>

#include "cabinet/block_decoder_pool.h"
#include "cabinet/cab_format.h"
#include "cabinet/cab_memory.h"
#include "cabinet/fdi_callbacks.h"
#include "cabinet/volume_reader.h"

namespace qdw::cab {

// Where the blocks of a folder lie in one volume.
struct BlockSource {
  intptr_t hf = -1;
  uint64_t offset = 0;       // next CFDATA record
  uint32_t blocks_left = 0;  // CFDATA records of the folder still unread in this volume
  uint8_t data_reserve = 0;
  bool continues = false;  // the folder goes on in the next volume
};

// A folder of the current volume that will be read after another one.
struct PlannedFolder {
  uint16_t folder = 0;
  uint16_t type = kCompressMszip;
  BlockSource source;
};

// Opens the volume after the current one and describes its first folder; names the folders
// worth reading ahead.
class NextVolumeOpener {
 public:
  virtual ~NextVolumeOpener() = default;
  // FDIERROR_NONE with `source` replaced (the old handle is the opener's to close), or a code.
  virtual int OpenNext(uint16_t type_compress, BlockSource* source) = 0;
  // The next folder after `folder` of the current volume that will be read, when it is known
  // and can be decoded.
  virtual bool NextFolderAfter(uint16_t folder, PlannedFolder* next) = 0;
};

class FolderStream {
 public:
  FolderStream(const FdiCallbacks* io, const MemoryCallbacks* memory);
  // `workers` decoder threads (0: decode on the caller's thread).
  bool Init(int workers);

  // Starts at the beginning of `folder` of the current volume, whose blocks `source` describes
  // (ignored when the folder is already being read ahead).
  void Start(uint16_t folder, const BlockSource& source, uint16_t type_compress,
             NextVolumeOpener* opener);
  // Drops everything read ahead; call before the volumes' handles close.
  void Stop();
  uint64_t position() const { return position_; }

  // Moves `count` bytes of the stream to the open file `target`, or drops them when target is
  // -1. FDIERROR_NONE or the code of the first problem.
  int Transfer(uint64_t count, intptr_t target);

 private:
  static constexpr size_t kPlannedFolders = 8;

  struct Segment {
    PlannedFolder plan;
    uint32_t job = 0;
    bool has_job = false;
    bool done = false;    // every block was queued and the job ended
    int error = 0;        // the problem reading further blocks ran into
    uint32_t joined = 0;  // bytes of a split block held in the pool's tail slot
  };

  int NextBlock();
  // Reads ahead as far as the pool has room.
  void Feed();
  void FeedSegments();
  // Queues the segment's blocks; true when all of them are queued.
  bool FeedSegment(Segment* segment);
  int ReadRecord(Segment* segment, DecodeSlot* slot, uint16_t* cb_uncomp);
  void ReleaseOutput();
  // Gives back the queued blocks of the first `count` segments and forgets those segments.
  void DropSegments(size_t count);

  const FdiCallbacks* io_;
  VolumeReader reader_;
  BlockDecoderPool pool_;
  Segment segments_[kPlannedFolders];
  size_t segment_count_ = 0;  // segments_[0] is the folder being read
  NextVolumeOpener* opener_ = nullptr;
  DecodeSlot* output_ = nullptr;  // the block being written out (the pool's head)
  uint64_t position_ = 0;
  size_t out_size_ = 0;
  size_t out_pos_ = 0;
};

}  // namespace qdw::cab

#endif  // QDW_CABINET_FOLDER_STREAM_H_
