#include <gtest/gtest.h>

#include "launch/NumericCompare.h"
#include "launch/SystemVersion.h"
#include "tests/CapturingLog.h"
#include "tests/FakeVersionSource.h"

namespace {

class VersionComparisonTest : public ::testing::Test {
  protected:
    bool atLeast(const char* version, const char* compareVersion) {
        return systemVersion.isOSVersionGreaterThanOrEqualTo(version, compareVersion);
    }

    FakeVersionSource source;
    CapturingLog log;
    SystemVersion systemVersion{source, log};
};

TEST_F(VersionComparisonTest, ThresholdItselfAndNewerReleasesQualify) {
    EXPECT_TRUE(atLeast("10.7.3", "10.7.3"));
    EXPECT_TRUE(atLeast("10.7.4", "10.7.3"));
    EXPECT_TRUE(atLeast("10.8", "10.7.3"));
    EXPECT_TRUE(atLeast("10.10", "10.7.3"));
    EXPECT_TRUE(atLeast("11", "10.7.3"));
    EXPECT_TRUE(atLeast("6.18.44", "3.10.0"));
    EXPECT_TRUE(atLeast("3.10.0", "3.10.0"));
}

TEST_F(VersionComparisonTest, OlderReleasesDoNot) {
    EXPECT_FALSE(atLeast("10.7.2", "10.7.3"));
    EXPECT_FALSE(atLeast("10.6.8", "10.7.3"));
    EXPECT_FALSE(atLeast("10.7", "10.7.3"));
    EXPECT_FALSE(atLeast("3.9.12", "3.10.0"));
    EXPECT_FALSE(atLeast("2.6.32", "3.10.0"));
}

TEST_F(VersionComparisonTest, MissingPartsCountAsZero) {
    EXPECT_TRUE(atLeast("10", "10.0.0"));
    EXPECT_TRUE(atLeast("10.0.0", "10"));
    EXPECT_TRUE(atLeast("10.8", "10.8.0"));
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(VersionComparisonTest, NullTextsAreLoggedAndNeverQualify) {
    EXPECT_FALSE(atLeast(nullptr, "10.7.3"));
    EXPECT_FALSE(atLeast("10.7.3", nullptr));
    EXPECT_EQ(log.texts(), (std::vector<std::string>{
                               "Unable to compare OS versions. Version is nil",
                               "Unable to compare OS versions. CompareVersion is nil.",
                           }));
}

TEST(NumericCompareTest, DigitRunsCompareByValue) {
    EXPECT_GT(compareNumeric("10.10.0", "10.9.5"), 0);
    EXPECT_LT(compareNumeric("10.9.5", "10.10.0"), 0);
    EXPECT_EQ(compareNumeric("10.07.3", "10.7.3"), 0);
    EXPECT_GT(compareNumeric("10.123456789012345678901234", "10.99999999999999999999"), 0);
    EXPECT_EQ(compareNumeric("", ""), 0);
}

TEST(NumericCompareTest, OtherCharactersAndLengthDecideTheRest) {
    EXPECT_LT(compareNumeric("10.7", "10.7.1"), 0);
    EXPECT_GT(compareNumeric("10.7b", "10.7a"), 0);
    EXPECT_LT(compareNumeric("", "1"), 0);
    EXPECT_NE(compareNumeric("10.7", "10-7"), 0);
}

}  // namespace
