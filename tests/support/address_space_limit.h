#pragma once
// Memory that runs out, for real: work done in a child process (a death test) whose address space ends
// a given amount beyond what it holds. The fixture makes the child a new run of the test program, so
// that AddressSanitizer reads its options anew, with failed allocations coming back as null, as they do
// without the sanitizer, instead of ending the process.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

class AddressSpaceLimitTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

 private:
  std::optional<std::string> FSavedOptions;
};

// In the child: limits the process's address space to extraMiB beyond what it holds now (with
// AddressSanitizer, terabytes of shadow memory); ends the process with status 3 when it cannot.
void LimitAddressSpace(int64_t extraMiB);
