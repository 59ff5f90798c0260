// The directory of one cabinet volume as a reader sees it: header, links to the neighbouring
// volumes, folder records and file entries, each checked against the file's real size and the
// format's limits before anything trusts it.
#ifndef QDW_CABINET_VOLUME_INDEX_H_
#define QDW_CABINET_VOLUME_INDEX_H_

#include <cstddef>
#include <cstdint>

#include "cabinet/cab_format.h"
#include "cabinet/cab_memory.h"
#include "cabinet/fdi_callbacks.h"

namespace qdw::cab {

class VolumeIndex {
 public:
  struct Folder {
    uint32_t coffCabStart;
    uint16_t cCFData;
    uint16_t typeCompress;
  };
  struct File {
    FileFields fields;
    uint32_t name_offset;
  };

  // How much of a volume to read.
  enum class Depth {
    kHeader,   // the fixed header: enough to tell a cabinet of a known version
    kFolders,  // also the links and folder records, checked against the file
    kFiles,    // also every file entry
  };

  explicit VolumeIndex(const MemoryCallbacks* memory);

  // Reads the volume open at `hf` down to `depth`. FDIERROR_NONE or the code of the first
  // problem; memory grows only with what the file really holds.
  int Read(const FdiCallbacks& io, intptr_t hf, Depth depth);

  const HeaderFields& header() const { return header_; }
  bool has_prev() const { return (header_.flags & kFlagPrevCabinet) != 0; }
  bool has_next() const { return (header_.flags & kFlagNextCabinet) != 0; }
  const char* prev_cabinet() const { return prev_cabinet_; }
  const char* prev_disk() const { return prev_disk_; }
  const char* next_cabinet() const { return next_cabinet_; }
  const char* next_disk() const { return next_disk_; }
  const CabVector<Folder>& folders() const { return folders_; }
  const CabVector<File>& files() const { return files_; }
  const char* NameOf(const File& file) const { return names_.data() + file.name_offset; }
  // Some entry says its data began in an earlier volume: folder 0 starts mid-stream here.
  bool first_folder_continued() const { return first_folder_continued_; }
  uint64_t file_size() const { return file_size_; }

 private:
  class Reader;
  int ReadHeader(Reader* reader);
  int ReadFolders(Reader* reader);
  int ReadFiles(Reader* reader);

  HeaderFields header_;
  char prev_cabinet_[kMaxNameLength + 1] = {};
  char prev_disk_[kMaxNameLength + 1] = {};
  char next_cabinet_[kMaxNameLength + 1] = {};
  char next_disk_[kMaxNameLength + 1] = {};
  CabVector<Folder> folders_;
  CabVector<File> files_;
  CabVector<char> names_;
  CabBuffer buffer_;
  bool first_folder_continued_ = false;
  uint64_t file_size_ = 0;
};

}  // namespace qdw::cab

#endif  // QDW_CABINET_VOLUME_INDEX_H_
