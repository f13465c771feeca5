#pragma once
// Wall-clock timing and a scratch folder for the benchmarks.

#include <chrono>
#include <string>

using BenchClock = std::chrono::steady_clock;

// Seconds since start.
double SecondsSince(BenchClock::time_point start);

// A new empty folder under the system's temporary folder, named from the prefix; raises
// std::runtime_error when it cannot be made.
std::string MakeScratchFolder(const std::string& prefix);
