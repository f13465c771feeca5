#pragma once
// Damaged variants of real sample files for the reader tests: each byte changed in turn, and the file
// cut at each length. A reader must give a picture or one of the clean errors it names, never crash.

#include <utility>
#include <vector>

#include "tests/picture_formats/picture_test_support.h"

// Runs f; true when it raises one of Allowed, false when it returns. Any other exception escapes.
template <class... Allowed, class F>
bool RaisesOneOf(F f);

template <class First, class... Rest, class F>
bool RaisesOneOfFirst(F f) {
  try {
    return RaisesOneOf<Rest...>(f);
  } catch (const First&) {
    return true;
  }
}

template <class... Allowed, class F>
bool RaisesOneOf(F f) {
  if constexpr (sizeof...(Allowed) == 0) {
    f();
    return false;
  } else {
    return RaisesOneOfFirst<Allowed...>(f);
  }
}

// Loads the variants of every sample with `load`: every byte among the first and last 100 of a sample,
// every `step`-th one in its middle. Returns the numbers of pictures loaded and of clean failures.
template <class... Allowed, class Load>
std::pair<int, int> LoadDamagedVariants(const std::vector<Bytes>& samples, size_t step, Load load) {
  int loaded = 0, failed = 0;
  for (const Bytes& good : samples) {
    for (size_t i = 0; i < good.size(); i += i < 100 || i + 100 > good.size() ? 1 : step) {
      Bytes changed = good;
      changed[i] ^= 0x5A;
      for (const Bytes& bytes : {changed, Bytes(good.begin(), good.begin() + long(i))})
        ++(RaisesOneOf<Allowed...>([&] { load(bytes); }) ? failed : loaded);
    }
  }
  return {loaded, failed};
}
