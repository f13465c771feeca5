#pragma once
// The memory a piece of work takes at its peak, for tests that must show a load never sizes anything
// by what a lying header claims.

#include <cstdint>
#include <functional>

// How much more resident memory (KiB) than the process held before `work` takes at its peak. The work
// runs in a child process (whatever it raises is dropped there), whose peak the system reports when it
// ends; -1 when no child could be run.
int64_t PeakMemoryGrowthKiB(const std::function<void()>& work);
