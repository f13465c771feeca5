#pragma once
// Wall-clock timing and a scratch folder for the benchmarks.

#include <chrono>
#include <string>
#include <vector>

using BenchClock = std::chrono::steady_clock;

// Seconds since start.
double SecondsSince(BenchClock::time_point start);

// The middle of the values (the mean of the two middle ones for an even count); the values must not
// be empty.
double Median(std::vector<double> values);

// A new empty folder under the system's temporary folder, named from the prefix; raises
// std::runtime_error when it cannot be made.
std::string MakeScratchFolder(const std::string& prefix);
