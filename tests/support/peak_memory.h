#pragma once
// The memory a piece of work takes at its peak, for tests that must show a load never sizes anything
// by what a lying header claims.

#include <cstdint>
#include <functional>
#include <string>

// A figure of the process's memory from /proc/self/status, in KiB: "VmRSS" what is resident, "VmSize"
// the address space it holds; 0 when the system does not give it.
int64_t ProcessStatusKiB(const std::string& field);

// How much more resident memory (KiB) than the process held before `work` takes at its peak. The work
// runs in a child process (whatever it raises is dropped there), whose peak the system reports when it
// ends; -1 when no child could be run.
int64_t PeakMemoryGrowthKiB(const std::function<void()>& work);
