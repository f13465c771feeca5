#pragma once
// Memory that cannot be had, on demand. Every operator new of this test program goes through malloc,
// and while a TFailingAllocations lives, requests of at least its size fail with std::bad_alloc, as
// they do when the machine's memory runs short (under AddressSanitizer a failing operator new ends
// the process instead, so no address-space limit can stand in for this).

#include <cstddef>

class TFailingAllocations {
 public:
  // Requests of fromBytes or more fail once the first `spared` of them were served.
  explicit TFailingAllocations(size_t fromBytes, int spared = 0);
  ~TFailingAllocations();
  TFailingAllocations(const TFailingAllocations&) = delete;
  TFailingAllocations& operator=(const TFailingAllocations&) = delete;

  // Requests refused so far.
  int Refused() const;
};
