// Block compressor that compresses each block as it is submitted, on the caller's thread.
#ifndef QDW_CABINET_SERIAL_BLOCK_COMPRESSOR_H_
#define QDW_CABINET_SERIAL_BLOCK_COMPRESSOR_H_

#include "cabinet/block_compressor.h"
#include "cabinet/mszip_encoder.h"

namespace qdw::cab {

class SerialBlockCompressor : public BlockCompressor {
 public:
  explicit SerialBlockCompressor(const MemoryCallbacks* memory);
  bool Init(int level);

  bool HasFreeSlot() const override { return !has_result_; }
  uint8_t* Input() override;
  void Submit(size_t size, uint16_t type_compress, bool folder_start) override;
  const BlockResult* Front(bool wait) override;
  void PopFront() override;
  size_t Outstanding() const override { return has_result_ ? 1 : 0; }

 private:
  // The folder's last 32 KiB sit just before the block: [history | block].
  CabVector<uint8_t> input_;
  CabVector<uint8_t> output_;
  MszipEncoder encoder_;
  size_t history_size_ = 0;
  // History length and block size to apply when the result is popped.
  size_t pending_history_ = 0;
  size_t pending_block_size_ = 0;
  BlockResult result_;
  bool has_result_ = false;
};

}  // namespace qdw::cab

#endif  // QDW_CABINET_SERIAL_BLOCK_COMPRESSOR_H_
