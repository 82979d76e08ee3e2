#pragma once

#include <string>
#include <string_view>

#include "launch/SystemVersionSource.h"

// The system version on Linux is the kernel release's first three numbers ("6.1.0-18-amd64" is
// 6.1.0). uname(2) gives the structured version and answers the selector queries; the release
// file under /proc stands in for the version property list.
class KernelVersionSource : public SystemVersionSource {
  public:
    static constexpr const char* kReleaseFile = "/proc/sys/kernel/osrelease";

    // `release` is the kernel release text (empty when unknown); `releaseFile` the file read
    // for the version properties.
    KernelVersionSource(std::string release, std::string releaseFile);

    // The running kernel, as uname(2) reports it.
    static KernelVersionSource fromUname();

    // The first three numbers of a release text; missing trailing numbers are 0, a text that
    // does not begin with a number gives nothing.
    static std::optional<OperatingSystemVersion> parseRelease(std::string_view release);

    std::optional<OperatingSystemVersion> operatingSystemVersion() const override;
    std::string versionPropertiesPath() const override;
    std::optional<Properties> readVersionProperties() const override;
    long versionSelector(std::uint32_t selector, std::int32_t* response) const override;
    OperatingSystemVersion fallbackVersion() const override;

  private:
    std::string release_;
    std::string releaseFile_;
};
