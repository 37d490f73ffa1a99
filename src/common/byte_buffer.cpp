#include "common/byte_buffer.h"

#include <new>

// Under AddressSanitizer every buffer comes from the heap, where a read past its end is
// caught; a mapping rounded up to whole large pages would hide it.
#if defined(__SANITIZE_ADDRESS__)
#define QTK_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QTK_ADDRESS_SANITIZER 1
#endif
#endif

#if defined(__linux__) && !defined(QTK_ADDRESS_SANITIZER)
#define QTK_LARGE_PAGE_BUFFERS 1
#include <sys/mman.h>
#endif

namespace qtk {
namespace {

#ifdef QTK_LARGE_PAGE_BUFFERS
// The large page size of x86-64 and arm64 with 4 KiB pages; a buffer of at least this many
// bytes is mapped on such a boundary.
constexpr size_t kLargePage = size_t{2} << 20;

// Maps `size` bytes (rounded up to whole large pages) starting on a large page boundary and
// asks for large pages there; nullptr when the system gives no mapping.
uint8_t* MapLargePages(size_t size, size_t& mapped) {
  if (size > SIZE_MAX - 2 * kLargePage)
    return nullptr;
  mapped = (size + kLargePage - 1) / kLargePage * kLargePage;
  const size_t reserved = mapped + kLargePage;
  void* reservation =
      mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (reservation == MAP_FAILED)
    return nullptr;
  // The reservation is one large page longer than needed; the unaligned head and the tail
  // go back to the system.
  const uintptr_t start = reinterpret_cast<uintptr_t>(reservation);
  const uintptr_t aligned = (start + kLargePage - 1) & ~(uintptr_t{kLargePage} - 1);
  if (aligned > start)
    munmap(reservation, aligned - start);
  const uintptr_t end = start + reserved;
  if (end > aligned + mapped)
    munmap(reinterpret_cast<void*>(aligned + mapped), end - (aligned + mapped));
  auto* bytes = reinterpret_cast<uint8_t*>(aligned);
  // Advice only: without large pages (switched off, none free) the mapping keeps small ones.
  madvise(bytes, mapped, MADV_HUGEPAGE);
  return bytes;
}
#endif

}  // namespace

ByteBuffer::ByteBuffer(size_t size) : size_(size) {
  if (size == 0)
    return;
#ifdef QTK_LARGE_PAGE_BUFFERS
  if (size >= kLargePage) {
    size_t mapped = 0;
    if (uint8_t* bytes = MapLargePages(size, mapped)) {
      bytes_ = std::unique_ptr<uint8_t, ByteBufferRelease>(bytes, ByteBufferRelease{mapped});
      return;
    }
    throw std::bad_alloc();
  }
#endif
  bytes_ = std::unique_ptr<uint8_t, ByteBufferRelease>(new uint8_t[size], ByteBufferRelease{});
}

void ByteBufferRelease::operator()(uint8_t* bytes) const {
#ifdef QTK_LARGE_PAGE_BUFFERS
  if (mapped != 0) {
    munmap(bytes, mapped);
    return;
  }
#endif
  delete[] bytes;
}

}  // namespace qtk
