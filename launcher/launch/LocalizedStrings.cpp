#include "launch/LocalizedStrings.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 3> kTexts = {{
    {"JRELocateError", "The Java runtime that comes with Vaultor could not be found."},
    {"JREDLError", "The Java runtime that comes with Vaultor could not be loaded."},
    {"JRELoadError", "The Java runtime that comes with Vaultor has no launcher entry point."},
}};

}  // namespace

std::string LocalizedStrings::localizedString(std::string_view key) {
    for (const auto& [textKey, text] : kTexts) {
        if (textKey == key) {
            return std::string(text);
        }
    }
    return {};
}
