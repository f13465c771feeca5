#pragma once
// Clock readings of the platform.

#include <cstdint>
#include <ctime>
#include <string>

// Milliseconds of a monotonic clock, wrapping at 2^32 (about every 49.7 days).
uint32_t GetTickCount();

// Local date and time as "dd/mm/yyyy hh:nn:ss", the time left out when it is exactly midnight.
std::string DateTimeToStr(std::time_t time);
