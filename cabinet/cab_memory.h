// Memory of the engine comes from the caller's alloc/free callbacks, as the cabinet interfaces
// promise. CallbackAllocator lets standard containers use them; NewObject/DeleteObject do the
// same for single objects.
#ifndef QDW_CABINET_CAB_MEMORY_H_
#define QDW_CABINET_CAB_MEMORY_H_

#include <cstddef>
#include <cstdint>
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

// Bytes from the callbacks, left uninitialised: a large buffer in a vector is filled and
// destroyed byte by byte, which costs more than the work it is for when instrumented.
class CabBuffer {
 public:
  explicit CabBuffer(const MemoryCallbacks* memory) : memory_(memory) {}
  ~CabBuffer() { Release(); }
  CabBuffer(const CabBuffer&) = delete;
  CabBuffer& operator=(const CabBuffer&) = delete;

  // False when the callbacks have no memory for it; earlier contents are gone either way.
  bool Allocate(size_t size) {
    Release();
    data_ = static_cast<uint8_t*>(memory_->Allocate(size));
    size_ = data_ != nullptr ? size : 0;
    return data_ != nullptr;
  }
  uint8_t* data() { return data_; }
  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  void Release() {
    if (data_ != nullptr) memory_->release(data_);
    data_ = nullptr;
    size_ = 0;
  }

  const MemoryCallbacks* memory_;
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

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
