#pragma once

#include <chrono>
#include <string>

// Local-time rendering of log timestamps: strftime patterns, plus "%Q" for the three digits
// of milliseconds that strftime lacks.
namespace DDLogTime {
std::string format(std::chrono::system_clock::time_point when, const std::string& pattern);
}
