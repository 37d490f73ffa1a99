#pragma once
// Memory for liblzma that is kept from run to run. An encoder asks for about a megabyte of
// blocks of the same few sizes each time; from the sanitizer's allocator every such block is
// a fresh mapping whose pages fault in one by one, which cost a fuzz run more than the
// compression itself. liblzma is not instrumented, so reusing its blocks hides nothing.
#include <lzma.h>

#include <cstddef>
#include <cstdlib>
#include <map>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace qtk::fuzz {

class LzmaBlockPool {
 public:
  LzmaBlockPool() = default;
  // Blocks still lent out belong to an encoder that was never ended: the leak check may say
  // so; the kept ones go here.
  ~LzmaBlockPool() {
    for (auto& [size, blocks] : free_) {
      for (void* block : blocks)
        std::free(block);
    }
  }
  LzmaBlockPool(const LzmaBlockPool&) = delete;
  LzmaBlockPool& operator=(const LzmaBlockPool&) = delete;

  const lzma_allocator* allocator() const { return &allocator_; }

 private:
  static void* Alloc(void* opaque, size_t count, size_t size) {
    if (size != 0 && count > static_cast<size_t>(-1) / size)
      return nullptr;
    return static_cast<LzmaBlockPool*>(opaque)->Take(count * size);
  }

  static void Free(void* opaque, void* block) {
    if (block != nullptr)
      static_cast<LzmaBlockPool*>(opaque)->Give(block);
  }

  void* Take(size_t size) {
    std::lock_guard lock(mutex_);
    std::vector<void*>& free = free_[size];
    void* block = nullptr;
    if (!free.empty()) {
      block = free.back();
      free.pop_back();
    } else {
      block = std::malloc(size == 0 ? 1 : size);
      if (block == nullptr)
        return nullptr;
    }
    sizes_[block] = size;
    return block;
  }

  void Give(void* block) {
    std::lock_guard lock(mutex_);
    const auto it = sizes_.find(block);
    if (it == sizes_.end())
      std::abort();  // not a block of this pool: liblzma broke its promise
    free_[it->second].push_back(block);
    sizes_.erase(it);
  }

  std::mutex mutex_;
  std::map<size_t, std::vector<void*>> free_;
  std::unordered_map<void*, size_t> sizes_;
  const lzma_allocator allocator_{&Alloc, &Free, this};
};

}  // namespace qtk::fuzz
