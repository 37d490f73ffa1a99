#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

namespace qtk {

// Frees the bytes of a ByteBuffer the way they were taken: from the heap, or as a mapping of
// `mapped` bytes.
struct ByteBufferRelease {
  size_t mapped = 0;
  void operator()(uint8_t* bytes) const;
};

// A block of bytes whose size is set when it is made and whose contents start undefined:
// a whole firmware file is read straight into it, so every byte is written once, by the
// read, instead of being cleared first and then overwritten.
//
// A block of several MiB is placed where the system can back it with large pages. On a
// virtual machine every first touch of a small page and every miss of the address cache
// is expensive; reading a 16 MiB image into small pages and summing its CRC costs several
// times what the same work costs on large pages.
class ByteBuffer {
 public:
  ByteBuffer() = default;
  // `size` bytes that the caller fills before reading them.
  explicit ByteBuffer(size_t size);
  // A copy of `bytes`.
  static ByteBuffer CopyOf(std::span<const uint8_t> bytes) {
    ByteBuffer copy(bytes.size());
    std::copy(bytes.begin(), bytes.end(), copy.data());
    return copy;
  }

  ByteBuffer(ByteBuffer&& other) noexcept
      : bytes_(std::move(other.bytes_)), size_(std::exchange(other.size_, 0)) {}
  ByteBuffer& operator=(ByteBuffer&& other) noexcept {
    bytes_ = std::move(other.bytes_);
    size_ = std::exchange(other.size_, 0);
    return *this;
  }

  uint8_t* data() { return bytes_.get(); }
  const uint8_t* data() const { return bytes_.get(); }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  uint8_t& operator[](size_t i) { return bytes_.get()[i]; }
  uint8_t operator[](size_t i) const { return bytes_.get()[i]; }

  std::span<uint8_t> span() { return {data(), size_}; }
  std::span<const uint8_t> span() const { return {data(), size_}; }
  // Every reader of bytes takes a span; a buffer passes as one.
  operator std::span<const uint8_t>() const { return span(); }

  std::vector<uint8_t> ToVector() const { return {data(), data() + size_}; }

 private:
  std::unique_ptr<uint8_t, ByteBufferRelease> bytes_;
  size_t size_ = 0;
};

}  // namespace qtk
