#include "DDLogTime.h"

#include <ctime>

namespace DDLogTime {

std::string format(std::chrono::system_clock::time_point when, const std::string& pattern) {
    using namespace std::chrono;
    const auto sinceEpoch = when.time_since_epoch();
    const std::time_t seconds = duration_cast<std::chrono::seconds>(sinceEpoch).count();
    long millis = static_cast<long>(duration_cast<milliseconds>(sinceEpoch).count() % 1000);
    if (millis < 0) {
        millis += 1000;
    }
    char digits[4] = {static_cast<char>('0' + millis / 100),
                      static_cast<char>('0' + millis / 10 % 10),
                      static_cast<char>('0' + millis % 10), '\0'};
    std::string expanded;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 'Q') {
            expanded += digits;
            ++i;
        } else if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == '%') {
            expanded += "%%";
            ++i;
        } else {
            expanded += pattern[i];
        }
    }
    std::tm local{};
    localtime_r(&seconds, &local);
    char buffer[256];
    const std::size_t length = std::strftime(buffer, sizeof buffer, expanded.c_str(), &local);
    return std::string(buffer, length);
}

}  // namespace DDLogTime
