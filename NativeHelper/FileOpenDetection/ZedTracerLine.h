#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// One line of the tracing tool: "uid<separator>process name<separator>path", the separator
// being the text of kZedGenericStringSeparator.
struct ZedTracerLine {
    std::uint32_t userId = 0;
    std::string processName;
    std::string path;

    // The three fields, or nothing when the line has another number of fields, a user id that
    // is not a decimal number of 32 bits, or text that is not UTF-8.
    static std::optional<ZedTracerLine> parse(std::string_view line);
};
