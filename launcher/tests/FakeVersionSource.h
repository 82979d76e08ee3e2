#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "launch/SystemVersionSource.h"

// A system whose every version answer the test decides.
class FakeVersionSource : public SystemVersionSource {
  public:
    std::optional<OperatingSystemVersion> structured;
    std::optional<Properties> properties;
    std::map<std::uint32_t, std::int32_t> selectors;
    long selectorError = -5551;
    OperatingSystemVersion fallback{3, 0, 0};

    static FakeVersionSource withVersion(long major, long minor, long patch) {
        FakeVersionSource source;
        source.structured = OperatingSystemVersion{major, minor, patch};
        return source;
    }

    std::optional<OperatingSystemVersion> operatingSystemVersion() const override {
        return structured;
    }
    std::string versionPropertiesPath() const override { return "/fake/version"; }
    std::optional<Properties> readVersionProperties() const override { return properties; }
    long versionSelector(std::uint32_t selector, std::int32_t* response) const override {
        auto found = selectors.find(selector);
        if (found == selectors.end()) {
            return selectorError;
        }
        *response = found->second;
        return 0;
    }
    OperatingSystemVersion fallbackVersion() const override { return fallback; }
};
