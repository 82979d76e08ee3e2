#pragma once

#include <string>
#include <string_view>

// The launcher's user-facing texts, looked up by key; an unknown key yields the empty text.
class LocalizedStrings {
  public:
    static std::string localizedString(std::string_view key);
};
