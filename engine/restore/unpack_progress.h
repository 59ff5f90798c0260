// How far the unpacking of a set has got, from the archive reader's reports: bytes of the
// volumes read, files written.
#ifndef QDW_ENGINE_RESTORE_UNPACK_PROGRESS_H_
#define QDW_ENGINE_RESTORE_UNPACK_PROGRESS_H_

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

#include "platform/file_system.h"

namespace qdw::restore {

// The size of the file at `path`; 0 when it cannot be had.
uint64_t FileBytes(platform::FileSystem& files, const std::string& path);

// While it lives, the archive reader's Extract calls report to `report` (bytes of cabinet
// volumes read and files written by the current call). An exception of `report` cannot cross
// the library: it is kept and raised by RethrowIfFailed once Extract has returned.
class UnpackReports {
 public:
  using Report = std::function<void(uint64_t cabinet_bytes_read, uint64_t files_written)>;
  explicit UnpackReports(Report report);
  ~UnpackReports();
  UnpackReports(const UnpackReports&) = delete;
  UnpackReports& operator=(const UnpackReports&) = delete;

  void RethrowIfFailed();

 private:
  static void Relay(void* context, unsigned long long cabinet_bytes_read,
                    unsigned long files_written);

  Report report_;
  std::exception_ptr error_;
};

}  // namespace qdw::restore

#endif  // QDW_ENGINE_RESTORE_UNPACK_PROGRESS_H_
