// Time, dates and random numbers. Backend-neutral except the millisecond clock and sleep,
// which each backend provides (the headless backend's clock is set by tests).
#pragma once
#include <cstdint>
#include <string>

namespace plat {

// Milliseconds since the system started (monotonic).
int64_t Milliseconds();
void SleepMs(int milliseconds);

// Seconds since 1970.
int64_t DateNow();
// Formats a date value in local time; "%yyyy" four-digit year, "%mm", "%dd", "%hh", "%ii", "%ss"
// two digits each. Other text is copied unchanged.
std::string FormatDate(int64_t date, const std::string& pattern);

// Uniformly distributed integer from 0 to n inclusive (0 when n <= 0).
int Random(int n);
void SeedRandom(uint32_t seed);

}  // namespace plat
