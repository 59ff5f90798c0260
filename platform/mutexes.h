// Named mutexes, which keep a second copy of the program from starting.
#ifndef QDW_PLATFORM_MUTEXES_H_
#define QDW_PLATFORM_MUTEXES_H_

#include <memory>
#include <string>

#include "platform/win_error.h"

namespace qdw::platform {

class NamedMutex {
 public:
  virtual ~NamedMutex() = default;  // closes the handle
  virtual void Release() = 0;
};

class Mutexes {
 public:
  virtual ~Mutexes() = default;
  // CreateMutex in the default namespace. On success `*out` holds the handle and the result
  // is kSuccess, or kErrorAlreadyExists when another process had already created it (the
  // handle is still given, as on Windows). Any other result leaves `*out` empty.
  virtual WinError Create(const std::string& name, bool initial_owner,
                          std::unique_ptr<NamedMutex>* out) = 0;
};

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_MUTEXES_H_
