#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "launch/SystemVersion.h"
#include "platform/KernelVersionSource.h"
#include "tests/CapturingLog.h"
#include "tests/FakeVersionSource.h"

namespace {

using Texts = std::vector<std::string>;

class SystemVersionTest : public ::testing::Test {
  protected:
    std::string version() { return SystemVersion(source, log).getSystemVersion(); }

    void selectorsAnswer(std::int32_t packed, std::int32_t major, std::int32_t minor,
                         std::int32_t bugfix) {
        source.selectors = {{kSelectorPackedVersion, packed},
                            {kSelectorMajor, major},
                            {kSelectorMinor, minor},
                            {kSelectorBugfix, bugfix}};
    }

    FakeVersionSource source;
    CapturingLog log;
};

TEST_F(SystemVersionTest, StructuredVersionComesFirstAndQuietly) {
    source = FakeVersionSource::withVersion(6, 18, 44);
    source.properties = SystemVersionSource::Properties{{"ProductVersion", "1.2.3"}};
    EXPECT_EQ(version(), "6.18.44");
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(SystemVersionTest, PropertiesPreferProductVersion) {
    source.properties = SystemVersionSource::Properties{{"ProductUserVisibleVersion", "10.6"},
                                                        {"ProductVersion", "10.6.8"}};
    EXPECT_EQ(version(), "10.6.8");
    source.properties = SystemVersionSource::Properties{{"ProductUserVisibleVersion", "10.6"}};
    EXPECT_EQ(version(), "10.6");
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(SystemVersionTest, UnreadablePropertiesFallBackToSelectors) {
    selectorsAnswer(0x1090, 10, 9, 5);
    EXPECT_EQ(version(), "10.9.5");
    EXPECT_EQ(log.texts(), (Texts{"Could not read system version plist at (/fake/version)",
                                  "Falling back to Gestalt..."}));
}

TEST_F(SystemVersionTest, PropertiesWithoutVersionFallBackToSelectors) {
    source.properties = SystemVersionSource::Properties{{"ProductName", "Linux"}};
    selectorsAnswer(0x1039, 0, 0, 0);
    EXPECT_EQ(version(), "10.3.9");
    EXPECT_EQ(log.texts(), (Texts{"Could not find product version in (/fake/version)",
                                  "Falling back to Gestalt..."}));
}

TEST_F(SystemVersionTest, PackedVersionDecodesAsDecimalDigitsUpToItsLastExactValue) {
    SystemVersion systemVersion(source, log);
    unsigned major = 0, minor = 0, bugfix = 0;
    selectorsAnswer(0x1039, 77, 77, 77);
    systemVersion.getSystemVersionMajorMinorBugfix(&major, &minor, &bugfix);
    EXPECT_EQ((std::vector<unsigned>{major, minor, bugfix}), (std::vector<unsigned>{10, 3, 9}));
    selectorsAnswer(0x0610, 77, 77, 77);
    systemVersion.getSystemVersionMajorMinorBugfix(&major, &minor, &bugfix);
    EXPECT_EQ((std::vector<unsigned>{major, minor, bugfix}), (std::vector<unsigned>{6, 1, 0}));
    selectorsAnswer(0x1040, 10, 4, 11);
    systemVersion.getSystemVersionMajorMinorBugfix(&major, &minor, &bugfix);
    EXPECT_EQ((std::vector<unsigned>{major, minor, bugfix}), (std::vector<unsigned>{10, 4, 11}));
}

TEST_F(SystemVersionTest, NullOutArgumentsAreSkipped) {
    selectorsAnswer(0x1075, 10, 7, 5);
    unsigned minor = 0;
    SystemVersion(source, log).getSystemVersionMajorMinorBugfix(nullptr, &minor, nullptr);
    EXPECT_EQ(minor, 7u);
}

TEST_F(SystemVersionTest, FailedSelectorLogsItsCodeAndGivesTheFallback) {
    source.selectors = {{kSelectorPackedVersion, 0x1090}, {kSelectorMajor, 10}};
    source.selectorError = -5551;
    EXPECT_EQ(version(), "3.0.0");
    EXPECT_EQ(log.texts(),
              (Texts{"Could not read system version plist at (/fake/version)",
                     "Falling back to Gestalt...", "Unable to obtain system version: -5551"}));
}

TEST(KernelVersionSourceTest, ReleaseGivesItsFirstThreeNumbers) {
    auto parse = [](const char* release) {
        std::optional<OperatingSystemVersion> v = KernelVersionSource::parseRelease(release);
        return v ? std::to_string(v->majorVersion) + "." + std::to_string(v->minorVersion) + "." +
                       std::to_string(v->patchVersion)
                 : std::string("none");
    };
    EXPECT_EQ(parse("6.1.0-18-amd64"), "6.1.0");
    EXPECT_EQ(parse("6.18.44-fc-v1300"), "6.18.44");
    EXPECT_EQ(parse("5.10"), "5.10.0");
    EXPECT_EQ(parse("4.19.0.7"), "4.19.0");
    EXPECT_EQ(parse("3.10.0-1160.el7.x86_64"), "3.10.0");
    EXPECT_EQ(parse("6."), "6.0.0");
    EXPECT_EQ(parse("6.x.3"), "6.0.0");
    EXPECT_EQ(parse(""), "none");
    EXPECT_EQ(parse("-6.1.0"), "none");
    EXPECT_EQ(parse("linux"), "none");
    EXPECT_EQ(parse("99999999999999999999.1"), "none");
}

TEST(KernelVersionSourceTest, SelectorsAnswerFromTheRelease) {
    auto packed = [](const char* release) {
        std::int32_t value = 0;
        long error =
            KernelVersionSource(release, "").versionSelector(kSelectorPackedVersion, &value);
        return error == 0 ? value : -1;
    };
    EXPECT_EQ(packed("6.1.0-18-amd64"), 0x0610);
    EXPECT_EQ(packed("10.3.9"), 0x1039);
    EXPECT_GT(packed("6.18.44"), 0x103F);

    CapturingLog log;
    KernelVersionSource source("6.18.44-fc", "");
    unsigned major = 0, minor = 0, bugfix = 0;
    SystemVersion(source, log).getSystemVersionMajorMinorBugfix(&major, &minor, &bugfix);
    EXPECT_EQ((std::vector<unsigned>{major, minor, bugfix}), (std::vector<unsigned>{6, 18, 44}));

    std::int32_t value = 0;
    EXPECT_NE(KernelVersionSource("6.1.0", "").versionSelector(fourCharCode("qqqq"), &value), 0);
    EXPECT_NE(KernelVersionSource("", "").versionSelector(kSelectorMajor, &value), 0);
}

TEST(KernelVersionSourceTest, ReleaseFileStandsInForTheProperties) {
    std::string path = ::testing::TempDir() + "vt-launcher-osrelease-" + std::to_string(getpid());
    std::ofstream(path) << "5.15.0-91-generic\n";
    std::optional<SystemVersionSource::Properties> read =
        KernelVersionSource("", path).readVersionProperties();
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->at("ProductVersion"), "5.15.0");

    std::ofstream(path) << "garbage\n";
    read = KernelVersionSource("", path).readVersionProperties();
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(read->empty());
    std::remove(path.c_str());

    EXPECT_FALSE(KernelVersionSource("", path).readVersionProperties().has_value());
}

TEST(KernelVersionSourceTest, RunningKernelHasAVersionAboveTheFallback) {
    CapturingLog log;
    KernelVersionSource source = KernelVersionSource::fromUname();
    SystemVersion systemVersion(source, log);
    std::string text = systemVersion.getSystemVersion();
    EXPECT_TRUE(systemVersion.isOSVersionGreaterThanOrEqualTo(text.c_str(), "3.0.0")) << text;
    EXPECT_TRUE(log.lines().empty());
}

}  // namespace
