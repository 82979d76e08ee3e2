#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

struct OperatingSystemVersion {
    long majorVersion = 0;
    long minorVersion = 0;
    long patchVersion = 0;
};

// Four-character selector codes of the version queries, as the classic system answered them.
constexpr std::uint32_t fourCharCode(const char (&code)[5]) {
    return (std::uint32_t(std::uint8_t(code[0])) << 24) |
           (std::uint32_t(std::uint8_t(code[1])) << 16) |
           (std::uint32_t(std::uint8_t(code[2])) << 8) | std::uint32_t(std::uint8_t(code[3]));
}

constexpr std::uint32_t kSelectorPackedVersion = fourCharCode("sysv");
constexpr std::uint32_t kSelectorMajor = fourCharCode("sys1");
constexpr std::uint32_t kSelectorMinor = fourCharCode("sys2");
constexpr std::uint32_t kSelectorBugfix = fourCharCode("sys3");

// The three places the system reports its version, from the most to the least convenient. The
// launcher tries them in turn; each platform answers from what it has.
class SystemVersionSource {
  public:
    using Properties = std::map<std::string, std::string>;

    virtual ~SystemVersionSource() = default;

    // The structured version of the process information, when the system offers one.
    virtual std::optional<OperatingSystemVersion> operatingSystemVersion() const = 0;

    // The file holding the version properties, named in log lines.
    virtual std::string versionPropertiesPath() const = 0;

    // The version properties ("ProductVersion", "ProductUserVisibleVersion"), or nothing when
    // the file cannot be read.
    virtual std::optional<Properties> readVersionProperties() const = 0;

    // Answers one selector; returns 0 and sets *response, or returns the platform's error code.
    virtual long versionSelector(std::uint32_t selector, std::int32_t* response) const = 0;

    // The version assumed when no source answers: old enough to pick the system's Java.
    virtual OperatingSystemVersion fallbackVersion() const = 0;
};
