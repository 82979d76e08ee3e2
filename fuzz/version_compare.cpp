// The launcher's version comparison. The input is three version texts; ordering them must be
// an order: each text equals itself, swapping two texts reverses their order, two steps up
// never lead down, and of any two versions one is at least the other (which decides the Java
// runtime that starts the service).
#include <string>

#include "launch/NumericCompare.h"
#include "launch/SystemVersion.h"
#include "support/FuzzCheck.h"
#include "support/FuzzInput.h"

namespace {

// The comparison reads no source and logs only about null versions, which this target never
// passes.
class NoVersionSource : public SystemVersionSource {
  public:
    std::optional<OperatingSystemVersion> operatingSystemVersion() const override { return {}; }
    std::string versionPropertiesPath() const override { return {}; }
    std::optional<Properties> readVersionProperties() const override { return {}; }
    long versionSelector(std::uint32_t, std::int32_t*) const override { return -1; }
    OperatingSystemVersion fallbackVersion() const override { return {}; }
};

class NoLog : public SystemLog {
  protected:
    void write(Priority, std::string_view) override {}
};

int order(std::string_view left, std::string_view right) {
    const int result = compareNumeric(left, right);
    VT_FUZZ_CHECK(result == -1 || result == 0 || result == 1);
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const std::string a(input.takeUntil('\0'));
    const std::string b(input.takeUntil('\0'));
    const std::string c(input.takeUntil('\0'));

    VT_FUZZ_CHECK(order(a, a) == 0);
    VT_FUZZ_CHECK(order(a, b) == -order(b, a));
    if (order(a, b) <= 0 && order(b, c) <= 0) {
        VT_FUZZ_CHECK(order(a, c) <= 0);
    }
    if (order(a, b) == 0) {
        VT_FUZZ_CHECK(order(a, c) == order(b, c));
    }

    const NoVersionSource source;
    NoLog log;
    const SystemVersion version(source, log);
    VT_FUZZ_CHECK(version.isOSVersionGreaterThanOrEqualTo(a.c_str(), a.c_str()));
    VT_FUZZ_CHECK(version.isOSVersionGreaterThanOrEqualTo(a.c_str(), b.c_str()) ||
                  version.isOSVersionGreaterThanOrEqualTo(b.c_str(), a.c_str()));
    return 0;
}
