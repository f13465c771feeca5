#pragma once
// The pixel memory of one bitmap. Memory fresh from the system costs a page fault on the first touch of
// every 4 KiB: for a 24-megapixel picture about a third of the time its JPEG takes to decode. A run
// loads picture after picture, and each command loads into bitmaps of its own (a reference picture, a
// result reset to 1 x 1 and loaded again, a picture bitmap per run); so the memory of a big bitmap
// given up is kept, one buffer at a time, for the next bitmap that needs exactly as much. A big buffer
// of any other size drops the kept one first: no more than one buffer is ever kept beside the bitmaps.

#include <cstddef>
#include <cstdint>
#include <memory>

class TPixelMemory {
 public:
  TPixelMemory() = default;
  // size bytes (none for 0), contents undefined; raises std::bad_alloc.
  explicit TPixelMemory(size_t size);
  TPixelMemory(TPixelMemory&& other) noexcept;
  TPixelMemory& operator=(TPixelMemory&& other) noexcept;
  TPixelMemory(const TPixelMemory&) = delete;
  TPixelMemory& operator=(const TPixelMemory&) = delete;
  ~TPixelMemory();

  uint8_t* get() const noexcept { return FBytes.get(); }
  size_t size() const noexcept { return FSize; }
  explicit operator bool() const noexcept { return FBytes != nullptr; }
  // Gives the memory up (to be kept when it is big).
  void reset() noexcept;

  // Buffers of at least this size are kept when given up; smaller ones come and go through the heap,
  // which keeps them itself.
  static constexpr size_t kKeptSize = size_t{4} << 20;

 private:
  std::unique_ptr<uint8_t[]> FBytes;
  size_t FSize = 0;
};
