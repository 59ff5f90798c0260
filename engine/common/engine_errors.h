// How an engine step fails. A step that fails with one of the result codes calls Fail(code):
// the code travels as ResultCodeError to the engine's boundary (BackupSequence::Run,
// RestoreEngine::RestoreFromArchive), which tidies up and returns it, or to the run sequence,
// which treats it like a returned code. FrameworkError stands for the file, database and share
// service failures the run sequence reports as a general failure.
#ifndef QDW_ENGINE_COMMON_ENGINE_ERRORS_H_
#define QDW_ENGINE_COMMON_ENGINE_ERRORS_H_

#include <stdexcept>
#include <string>

namespace qdw::engine {

// A step raised one of the result codes (engine/common/result_codes.h), for example 202 from a
// tree move or 301 when the repository path cannot be read.
class ResultCodeError : public std::runtime_error {
 public:
  explicit ResultCodeError(int code)
      : std::runtime_error("result code " + std::to_string(code)), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

// A file, database or share service operation failed in a way the step cannot report through
// its result (a marker or the failure list cannot be written, the database driver refuses, the
// share service answers with an error).
class FrameworkError : public std::runtime_error {
 public:
  explicit FrameworkError(const std::string& what) : std::runtime_error(what) {}
};

// Leaves the current step with `code`.
[[noreturn]] inline void Fail(int code) { throw ResultCodeError(code); }

}  // namespace qdw::engine

#endif  // QDW_ENGINE_COMMON_ENGINE_ERRORS_H_
