#include "Categories/ZedUnixTimeInMS.h"

namespace ZedUnixTimeInMS {

std::int64_t unixTimeInMSFromDate(Date date) {
    const std::chrono::duration<double> seconds = date.time_since_epoch();
    return static_cast<std::int64_t>(seconds.count() * 1000.0);
}

Date dateFromUnixTimeInMS(std::int64_t milliseconds) {
    return Date(std::chrono::duration_cast<Date::duration>(
        std::chrono::duration<double>(static_cast<double>(milliseconds) / 1000.0)));
}

std::int64_t unixTimeInMSFromTimeIntervalSinceReferenceDate(double seconds) {
    return static_cast<std::int64_t>((seconds + kReferenceDateOffsetSeconds) * 1000.0);
}

std::int64_t unixTimeInMS() {
    return unixTimeInMSFromDate(std::chrono::system_clock::now());
}

}  // namespace ZedUnixTimeInMS
