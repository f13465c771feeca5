#include "tests/workbench_memory/failing_allocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<size_t> FailFrom{0};  // 0: nothing fails
std::atomic<int> Spared{0};
std::atomic<int> RefusedCount{0};

bool Refuse(size_t size) {
  const size_t from = FailFrom.load();
  if (from == 0 || size < from) return false;
  if (Spared.fetch_sub(1) > 0) return false;
  ++RefusedCount;
  return true;
}

void* Allocate(size_t size) {
  if (Refuse(size)) throw std::bad_alloc();
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

void* AllocateOrNull(size_t size) noexcept {
  try {
    return Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

TFailingAllocations::TFailingAllocations(size_t fromBytes, int spared) {
  Spared = spared;
  RefusedCount = 0;
  FailFrom = fromBytes;
}

TFailingAllocations::~TFailingAllocations() {
  FailFrom = 0;
}

int TFailingAllocations::Refused() const {
  return RefusedCount;
}

// The replaceable allocation functions (the over-aligned ones keep the library's own pair).
void* operator new(size_t size) {
  return Allocate(size);
}
void* operator new[](size_t size) {
  return Allocate(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  return AllocateOrNull(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  return AllocateOrNull(size);
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete[](void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, size_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, size_t) noexcept {
  std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
  std::free(memory);
}
