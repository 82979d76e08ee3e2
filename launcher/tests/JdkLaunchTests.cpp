#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "launch/JavaLauncher.h"
#include "launch/VaultorService.h"
#include "platform/RuntimeLayout.h"
#include "tests/CapturingLog.h"
#include "tests/ChildProcess.h"
#include "tests/FakeVersionSource.h"
#include "tests/RuntimeFixture.h"
#include "tests/StandInService.h"

namespace {

using Texts = std::vector<std::string>;

// Start-up against the real JDK of this machine. A JVM can start only once in a process and
// System.exit ends the process, so each start runs in a forked child of this test program.
class JdkLaunchTest : public ::testing::Test {
  protected:
    void SetUp() override { fixture.installJdk(); }

    ChildProcess::Result start(OperatingSystemVersion version, const Texts& argv) {
        return ChildProcess::runInChild([&](int logFd) {
            CapturingLog log(logFd);
            FakeVersionSource source = FakeVersionSource::withVersion(
                version.majorVersion, version.minorVersion, version.patchVersion);
            SystemVersion systemVersion(source, log);
            JavaLauncher launcher(log, fixture.runtimeLibrary(), RuntimeLayout::kOsJava);
            VaultorService service(log, systemVersion, launcher,
                                   RuntimeLayout::kBundledRuntimeMinimumVersion);
            std::vector<char*> pointers;
            for (const std::string& arg : argv) {
                pointers.push_back(const_cast<char*>(arg.c_str()));
            }
            pointers.push_back(nullptr);
            return service.main(static_cast<int>(argv.size()), pointers.data());
        });
    }

    static Texts startupLines(const Texts& argv, const std::string& version) {
        Texts lines = {"LAUNCH VaultorService"};
        for (std::size_t i = 0; i < argv.size(); ++i) {
            lines.push_back("Argument[" + std::to_string(i) + "]: " + argv[i]);
        }
        lines.push_back("OS X Version: " + version);
        return lines;
    }

    static std::string thisProgram() {
        return std::filesystem::read_symlink("/proc/self/exe").string();
    }

    const OperatingSystemVersion current{6, 1, 0};
    const OperatingSystemVersion older{3, 9, 0};
    RuntimeFixture fixture;
};

TEST_F(JdkLaunchTest, BundledRuntimeRunsTheCommandLineUntouchedInThisProcess) {
    Texts argv = StandInService::commandLine({}, StandInService::kAwkwardArguments);
    ChildProcess::Result result = start(current, argv);

    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(StandInService::commandOf(result.out), thisProgram());
    EXPECT_EQ(StandInService::reportOf(result.out),
              StandInService::reportAfterCommand(StandInService::kAwkwardArguments));

    Texts expected = startupLines(argv, "6.1.0");
    expected.insert(expected.end(), {"Supports Java 1.7, use bundled JRE.", "launchWithBundledJRE",
                                     "Arguments..."});
    for (std::size_t i = 0; i < argv.size(); ++i) {
        expected.push_back("  " + std::to_string(i) + ":  " + argv[i]);
    }
    expected.push_back("EXIT VaultorService");
    EXPECT_EQ(result.logLines, expected);
}

TEST_F(JdkLaunchTest, BundledRuntimeEndsWithTheProgramsExitStatus) {
    ChildProcess::Result exited =
        start(current, StandInService::commandLine({"-Dvaultor.exit=7"}, {"x"}));
    ASSERT_TRUE(exited.exited) << exited.err;
    EXPECT_EQ(exited.exitStatus, 7) << exited.err;
    // System.exit ends the whole process inside the runtime: the launcher gets no word in.
    ASSERT_FALSE(exited.logLines.empty());
    EXPECT_NE(exited.logLines.back(), "EXIT VaultorService");

    ChildProcess::Result threw =
        start(current, StandInService::commandLine({"-Dvaultor.throw=1"}, {}));
    ASSERT_TRUE(threw.exited) << threw.err;
    EXPECT_EQ(threw.exitStatus, 1);
    EXPECT_NE(threw.err.find("IllegalStateException"), std::string::npos) << threw.err;
    ASSERT_FALSE(threw.logLines.empty());
    EXPECT_EQ(threw.logLines.back(), "EXIT VaultorService");
}

TEST_F(JdkLaunchTest, OlderSystemRunsTheSystemJavaWithTheSameCommandLine) {
    if (access(RuntimeLayout::kOsJava, X_OK) != 0) {
        GTEST_SKIP() << "no " << RuntimeLayout::kOsJava << " on this machine";
    }
    Texts argv = StandInService::commandLine({}, StandInService::kAwkwardArguments);
    ChildProcess::Result result = start(older, argv);

    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    std::string command = StandInService::commandOf(result.out);
    EXPECT_EQ(std::filesystem::path(command).filename(), "java") << command;
    EXPECT_EQ(StandInService::reportOf(result.out),
              StandInService::reportAfterCommand(StandInService::kAwkwardArguments));
    Texts expected = startupLines(argv, "3.9.0");
    expected.push_back("launchWithOsJRE");
    EXPECT_EQ(result.logLines, expected);

    ChildProcess::Result exited =
        start(older, StandInService::commandLine({"-Dvaultor.exit=7"}, {}));
    EXPECT_EQ(exited.exitStatus, 7) << exited.err;
}

}  // namespace
