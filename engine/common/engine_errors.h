// Exceptions that leave an engine step early. Result codes travel as ResultCodeError and are
// caught at the engine's or the run sequence's boundary; FrameworkError stands for the file
// and database failures the run sequence reports as a general failure.
#ifndef QDW_ENGINE_COMMON_ENGINE_ERRORS_H_
#define QDW_ENGINE_COMMON_ENGINE_ERRORS_H_

#include <stdexcept>
#include <string>

namespace qdw::engine {

// A step raised one of the engines' result codes (for example 202 from a tree move, 301 when
// the repository path cannot be read).
class ResultCodeError : public std::runtime_error {
 public:
  explicit ResultCodeError(int code)
      : std::runtime_error("result code " + std::to_string(code)), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

// A file or database operation failed in a way the step cannot report through its result
// (a marker or the failure list cannot be written, the database driver refuses).
class FrameworkError : public std::runtime_error {
 public:
  explicit FrameworkError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace qdw::engine

#endif  // QDW_ENGINE_COMMON_ENGINE_ERRORS_H_
