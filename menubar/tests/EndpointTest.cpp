// Where the client looks for the service: the endpoint file and the command line.
#include <gtest/gtest.h>

#include "app/VTUIInfo.h"
#include "app/VTUtils.h"
#include "messaging/VTEndpoint.h"
#include "tests/TestSupport.h"

using namespace vttest;

namespace {

class EndpointTest : public ::testing::Test {
  protected:
    void SetUp() override {
        original_ = VTUtils::bundleInfoDictionary();
        VTUtils::overrideBundleInfoDictionary({{"VTHost", "builtin.host"}, {"VTPort", "4242"}});
    }
    void TearDown() override { VTUtils::overrideBundleInfoDictionary(original_); }
    VTEndpoint settle(const QStringList& arguments = {"VaultorMenuBar"}) {
        return VTEndpoint::settle(arguments, *VTLogger::sharedLoggerForClass("EndpointTest"));
    }

    EndpointFolder folder_;
    QVariantMap original_;
};

TEST_F(EndpointTest, PortTokenAndNoAddress) {
    folder_.write("5123,abc\n");
    VTUIInfo* info = VTUIInfo::sharedInstance();
    EXPECT_EQ(info->port(), 5123);
    EXPECT_EQ(info->token(), "abc");
    EXPECT_FALSE(info->ipAddress().has_value());
}

TEST_F(EndpointTest, BlanksAroundCommasBelongToTheFields) {
    folder_.write("  5123, tok en ,10.0.0.1,extra\r\n");
    VTUIInfo* info = VTUIInfo::sharedInstance();
    EXPECT_EQ(info->port(), 5123);
    EXPECT_EQ(info->token(), " tok en ");
    EXPECT_EQ(info->ipAddress(), "10.0.0.1");
}

TEST_F(EndpointTest, EmptyOrMissingFileGivesNothing) {
    VTUIInfo* info = VTUIInfo::sharedInstance();
    EXPECT_FALSE(info->uiInfoPath().has_value());
    EXPECT_EQ(info->port(), -1);
    folder_.write(" \n\t ");
    EXPECT_TRUE(info->uiInfoPath().has_value());
    EXPECT_FALSE(info->readUIInfo().has_value());
    EXPECT_EQ(info->port(), -1);
    EXPECT_FALSE(info->token().has_value());
    folder_.write("\xff\xfe,token");
    EXPECT_FALSE(info->readUIInfo().has_value());
}

TEST_F(EndpointTest, UserFileWinsOverTheMachineWideOne) {
    folder_.write("1111,machine", folder_.machineFolder());
    EXPECT_EQ(VTUIInfo::sharedInstance()->token(), "machine");
    folder_.write("2222,user");
    EXPECT_EQ(VTUIInfo::sharedInstance()->token(), "user");
    EXPECT_EQ(VTUIInfo::sharedInstance()->port(), 2222);
}

TEST_F(EndpointTest, PortWithoutDigitsReadsAsZeroAndCountsAsFound) {
    folder_.write("abc,token");
    EXPECT_EQ(settle().port, 0);
}

TEST_F(EndpointTest, FileOverridesBuiltInAndCommandLineOverridesFile) {
    EXPECT_EQ(settle().host, "builtin.host");
    EXPECT_EQ(settle().port, 4242);
    folder_.write("5000,t,file.host");
    EXPECT_EQ(settle().host, "file.host");
    EXPECT_EQ(settle().port, 5000);
    const VTEndpoint fromCommandLine =
        settle({"VaultorMenuBar", "--hostname=cli.host", "--port=6000"});
    EXPECT_EQ(fromCommandLine.host, "cli.host");
    EXPECT_EQ(fromCommandLine.port, 6000);
    EXPECT_EQ(settle({"VaultorMenuBar", "--port=abc"}).port, 5000);
}

TEST_F(EndpointTest, CommandLineOptionsAreReadWhereverTheyOccur) {
    const auto first =
        VTEndpoint::VT_parseCommandLineArgs({"prog", "--hostname=one", "--hostname=two", "--port=0",
                                             "--port=x", "--port=77", "--port=88"});
    EXPECT_EQ(first.host, "one");
    EXPECT_EQ(first.port, 77);
    // The value starts at the option's length, also when the option is not at the front.
    const auto embedded =
        VTEndpoint::VT_parseCommandLineArgs({"xx--port=9", "a--hostname=bcdefghijk"});
    EXPECT_EQ(embedded.port, VTUtils::integerValue(QString("xx--port=9").mid(7)));
    EXPECT_EQ(embedded.host, QString("a--hostname=bcdefghijk").mid(11));
    // An argument with a host option is not examined for a port.
    EXPECT_EQ(VTEndpoint::VT_parseCommandLineArgs({"--hostname=h--port=5"}).port, 0);
}

TEST_F(EndpointTest, OptionsAlsoTakeTheirValueFromTheNextArgument) {
    struct Case {
        QStringList arguments;
        std::optional<QString> host;
        qint64 port;
    };
    const Case cases[] = {
        {{"prog", "--port", "77"}, std::nullopt, 77},
        {{"prog", "--hostname", "h", "--port", "0", "--port", "8"}, "h", 8},
        {{"prog", "--hostname=one", "--hostname", "two", "--port", "9", "--port=10"}, "one", 9},
        {{"prog", "--port=x", "--port", "5"}, std::nullopt, 5},
        // The next argument is the value, whatever it looks like; a missing one is no value.
        {{"prog", "--hostname", "--port=5"}, "--port=5", 0},
        {{"prog", "--port"}, std::nullopt, 0},
    };
    for (const Case& c : cases) {
        const auto found = VTEndpoint::VT_parseCommandLineArgs(c.arguments);
        EXPECT_EQ(found.host, c.host) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(found.port, c.port) << c.arguments.join(' ').toStdString();
    }
}

TEST_F(EndpointTest, NoPortAnywhereIsPortZero) {
    VTUtils::overrideBundleInfoDictionary({{"VTHost", "h"}});
    EXPECT_EQ(settle().port, 0);
}

}  // namespace
