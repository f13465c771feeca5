#include "tests/support/address_space_limit.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>

#include "tests/support/peak_memory.h"

void AddressSpaceLimitTest::SetUp() {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const char* options = std::getenv("ASAN_OPTIONS");
  FSavedOptions = options ? std::optional<std::string>(options) : std::nullopt;
  setenv("ASAN_OPTIONS", (FSavedOptions.value_or("") + ":allocator_may_return_null=1").c_str(), 1);
}

void AddressSpaceLimitTest::TearDown() {
  if (FSavedOptions)
    setenv("ASAN_OPTIONS", FSavedOptions->c_str(), 1);
  else
    unsetenv("ASAN_OPTIONS");
}

void LimitAddressSpace(int64_t extraMiB) {
  const auto limit = static_cast<rlim_t>((ProcessStatusKiB("VmSize") + extraMiB * 1024) * 1024);
  const rlimit space{limit, limit};
  if (setrlimit(RLIMIT_AS, &space) != 0) _exit(3);
}
