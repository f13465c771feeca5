#include "toolkit/graphics/pixel_memory.h"

#include <mutex>
#include <utility>

#include <sanitizer/asan_interface.h>

namespace {

// The kept buffer. Never destroyed (bitmaps may be given up during the program's exit); the sanitizer
// is told that nobody may touch the kept bytes until they are handed out again.
struct TKeptBuffer {
  uint8_t* Bytes = nullptr;
  size_t Size = 0;
};
constinit TKeptBuffer Kept;
constinit std::mutex KeptLock;

}  // namespace

TPixelMemory::TPixelMemory(size_t size) {
  if (size == 0) return;
  if (size >= kKeptSize) {
    std::unique_ptr<uint8_t[]> dropped;
    {
      const std::lock_guard lock(KeptLock);
      if (Kept.Bytes && Kept.Size == size) {
        FBytes.reset(std::exchange(Kept.Bytes, nullptr));
        FSize = size;
        ASAN_UNPOISON_MEMORY_REGION(FBytes.get(), size);
        return;
      }
      if (Kept.Bytes) {
        ASAN_UNPOISON_MEMORY_REGION(Kept.Bytes, Kept.Size);
        dropped.reset(std::exchange(Kept.Bytes, nullptr));
      }
    }
  }
  FBytes = std::make_unique_for_overwrite<uint8_t[]>(size);
  FSize = size;
}

TPixelMemory::TPixelMemory(TPixelMemory&& other) noexcept
    : FBytes(std::move(other.FBytes)), FSize(std::exchange(other.FSize, 0)) {}

TPixelMemory& TPixelMemory::operator=(TPixelMemory&& other) noexcept {
  if (&other != this) {
    reset();
    FBytes = std::move(other.FBytes);
    FSize = std::exchange(other.FSize, 0);
  }
  return *this;
}

TPixelMemory::~TPixelMemory() {
  reset();
}

void TPixelMemory::reset() noexcept {
  if (!FBytes) return;
  const size_t size = std::exchange(FSize, 0);
  if (size < kKeptSize) {
    FBytes.reset();
    return;
  }
  std::unique_ptr<uint8_t[]> dropped;
  const std::lock_guard lock(KeptLock);
  if (Kept.Bytes) {
    ASAN_UNPOISON_MEMORY_REGION(Kept.Bytes, Kept.Size);
    dropped.reset(Kept.Bytes);
  }
  Kept.Bytes = FBytes.release();
  Kept.Size = size;
  ASAN_POISON_MEMORY_REGION(Kept.Bytes, size);
}
