#pragma once

#include <chrono>
#include <cstdint>

// Milliseconds since 1970-01-01 UTC, the unit the file watcher measures gaps in.
namespace ZedUnixTimeInMS {

using Date = std::chrono::system_clock::time_point;

// Seconds between 2001-01-01 (the reference date of stored intervals) and 1970-01-01.
constexpr double kReferenceDateOffsetSeconds = 978307200.0;

std::int64_t unixTimeInMSFromDate(Date date);
Date dateFromUnixTimeInMS(std::int64_t milliseconds);
std::int64_t unixTimeInMSFromTimeIntervalSinceReferenceDate(double seconds);
std::int64_t unixTimeInMS();  // now

}  // namespace ZedUnixTimeInMS
