// Memory of the engine comes from the caller's alloc/free callbacks, as the cabinet interfaces
// promise. CallbackAllocator lets standard containers use them; NewObject/DeleteObject do the
// same for single objects.
#ifndef QDW_CABINET_CAB_MEMORY_H_
#define QDW_CABINET_CAB_MEMORY_H_

#include <cstddef>
#include <limits>
#include <new>
#include <utility>
#include <vector>

namespace qdw::cab {

// The alloc/free callbacks of both interfaces share these shapes.
using AllocCallback = void*(QDW_CAB_CALL*)(unsigned long size);
using FreeCallback = void(QDW_CAB_CALL*)(void* block);

struct MemoryCallbacks {
  AllocCallback alloc = nullptr;
  FreeCallback release = nullptr;

  // nullptr when the size does not fit the callback's argument or the callback has no memory.
  void* Allocate(size_t size) const {
    if (size > std::numeric_limits<unsigned long>::max()) return nullptr;
    return alloc(static_cast<unsigned long>(size == 0 ? 1 : size));
  }
};

template <typename T>
class CallbackAllocator {
 public:
  using value_type = T;

  explicit CallbackAllocator(const MemoryCallbacks* memory) : memory_(memory) {}
  template <typename U>
  CallbackAllocator(const CallbackAllocator<U>& other) : memory_(other.memory()) {}

  T* allocate(size_t count) {
    if (count > std::numeric_limits<size_t>::max() / sizeof(T)) throw std::bad_alloc();
    void* block = memory_->Allocate(count * sizeof(T));
    if (block == nullptr) throw std::bad_alloc();
    return static_cast<T*>(block);
  }
  void deallocate(T* block, size_t) { memory_->release(block); }

  const MemoryCallbacks* memory() const { return memory_; }

  template <typename U>
  bool operator==(const CallbackAllocator<U>& other) const {
    return memory_ == other.memory();
  }
  template <typename U>
  bool operator!=(const CallbackAllocator<U>& other) const {
    return memory_ != other.memory();
  }

 private:
  const MemoryCallbacks* memory_;
};

template <typename T>
using CabVector = std::vector<T, CallbackAllocator<T>>;

// Builds a T in memory from the callbacks; nullptr when the callback has none to give.
template <typename T, typename... Args>
T* NewObject(const MemoryCallbacks& memory, Args&&... args) {
  void* block = memory.Allocate(sizeof(T));
  if (block == nullptr) return nullptr;
  try {
    return new (block) T(std::forward<Args>(args)...);
  } catch (...) {
    memory.release(block);
    return nullptr;
  }
}

template <typename T>
void DeleteObject(const MemoryCallbacks& memory, T* object) {
  if (object == nullptr) return;
  object->~T();
  memory.release(object);
}

}  // namespace qdw::cab

#endif  // QDW_CABINET_CAB_MEMORY_H_
