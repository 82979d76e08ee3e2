#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "launch/JavaLaunchError.h"
#include "launch/LocalizedStrings.h"
#include "tests/ChildProcess.h"
#include "tests/LauncherTestPaths.h"
#include "tests/RuntimeFixture.h"
#include "tests/StandInService.h"

namespace {

using Texts = std::vector<std::string>;

constexpr const char* kUnshare = "/usr/bin/unshare";
constexpr const char* kSystemWideRuntime = "/opt/vaultor/lib/runtime/lib/libjli.so";

// The built program, as the service's supervisor runs it. A non-root user finds the runtime in
// the home folder; root is given a user namespace in which it is user 1000 but keeps its file
// access, so the temporary home serves there too.
class VaultorServiceProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (geteuid() == 0) {
            if (!namespacesWork()) {
                GTEST_SKIP() << "running as root and no user namespace to run as another user";
            }
            asOtherUser = {kUnshare, "--user", "--map-user=1000", "--map-group=1000"};
        }
    }

    static bool namespacesWork() {
        return access(kUnshare, X_OK) == 0 &&
               ChildProcess::runProgram(
                   {kUnshare, "--user", "--map-user=1000", "--map-group=1000", "/bin/true"}, {})
                       .exitStatus == 0;
    }

    ChildProcess::Result run(const Texts& serviceCommandLine,
                             ChildProcess::Environment environment = {}) {
        Texts argv = asOtherUser;
        argv.push_back(kTestLauncherProgram);
        argv.insert(argv.end(), serviceCommandLine.begin() + 1, serviceCommandLine.end());
        environment["HOME"] = fixture.home();
        return ChildProcess::runProgram(argv, environment);
    }

    static std::string errorLine(const char* key) {
        return "JavaLaunchError: " + LocalizedStrings::localizedString(key);
    }

    Texts asOtherUser;
    RuntimeFixture fixture;
};

TEST_F(VaultorServiceProgramTest, RunsTheServiceInItsOwnProcessWithTheCommandLineUntouched) {
    fixture.installJdk();
    ChildProcess::Result result =
        run(StandInService::commandLine({}, StandInService::kAwkwardArguments));

    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(std::filesystem::canonical(StandInService::commandOf(result.out)),
              std::filesystem::canonical(kTestLauncherProgram));
    EXPECT_EQ(StandInService::reportOf(result.out),
              StandInService::reportAfterCommand(StandInService::kAwkwardArguments));
    EXPECT_EQ(result.err, "");
}

// A loader path with a folder holding a Java VM in it makes the runtime re-execute the whole
// process (its trace says "mustsetenv: TRUE"), so the launcher takes such folders out; the
// service's own native libraries are still found through the folders that remain.
TEST_F(VaultorServiceProgramTest, LoaderPathFindsTheServicesLibrariesWithoutRestartingTheProcess) {
    fixture.installJdk();
    const std::string foreignVm = fixture.createForeignVmFolder();
    const std::string ownVm = fixture.runtimeVmFolder();
    const std::string natives = kTestJniFolder;
    const struct {
        std::string loaderPath;
        bool nativesReachable;
    } cases[] = {
        {foreignVm, false},
        {natives, true},
        {foreignVm + ":" + natives, true},
        {natives + ":" + ownVm, true},
        {ownVm + ":" + natives + ":" + foreignVm, true},
    };
    for (const auto& [loaderPath, nativesReachable] : cases) {
        const Texts vmOptions =
            nativesReachable ? Texts{"-Dvaultor.loadLibrary=vtjniprobe"} : Texts{};
        ChildProcess::Result result =
            run(StandInService::commandLine(vmOptions, {"a"}),
                {{"LD_LIBRARY_PATH", loaderPath}, {"_JAVA_LAUNCHER_DEBUG", "1"}});
        EXPECT_EQ(result.exitStatus, 0) << loaderPath << "\n" << result.err;
        EXPECT_NE(result.out.find("mustsetenv: FALSE"), std::string::npos) << loaderPath;
        EXPECT_EQ(result.out.find("mustsetenv: TRUE"), std::string::npos) << loaderPath;
        EXPECT_NE(result.out.find("arg=[a]"), std::string::npos) << loaderPath << result.out;
        if (nativesReachable) {
            EXPECT_NE(result.out.find("native=found through the loader path"), std::string::npos)
                << loaderPath << "\n"
                << result.err;
        }
    }
}

TEST_F(VaultorServiceProgramTest, ReturnsTheServicesExitStatus) {
    fixture.installJdk();
    EXPECT_EQ(run(StandInService::commandLine({"-Dvaultor.exit=7"}, {})).exitStatus, 7);
    ChildProcess::Result threw = run(StandInService::commandLine({"-Dvaultor.throw=1"}, {}));
    EXPECT_EQ(threw.exitStatus, 1);
    EXPECT_NE(threw.err.find("IllegalStateException"), std::string::npos) << threw.err;
}

TEST_F(VaultorServiceProgramTest, MissingRuntimeIsTheLocateError) {
    ChildProcess::Result result = run(StandInService::commandLine({}, {"a"}));
    EXPECT_EQ(result.exitStatus, JavaLaunchError::kLocateStatus) << result.err;
    EXPECT_EQ(result.err, errorLine("JRELocateError") + " (" + fixture.runtimeLibrary() + ")\n");
    EXPECT_EQ(result.out, "");
}

TEST_F(VaultorServiceProgramTest, UnloadableRuntimeIsTheLoadError) {
    fixture.installUnloadableLibrary();
    ChildProcess::Result result = run(StandInService::commandLine({}, {}));
    EXPECT_EQ(result.exitStatus, JavaLaunchError::kLoadStatus) << result.err;
    EXPECT_EQ(result.err.rfind(errorLine("JREDLError"), 0), 0u) << result.err;
}

TEST_F(VaultorServiceProgramTest, RuntimeWithoutEntryPointIsTheEntryPointError) {
    fixture.installLibraryWithoutEntryPoint();
    ChildProcess::Result result = run(StandInService::commandLine({}, {}));
    EXPECT_EQ(result.exitStatus, JavaLaunchError::kEntryPointStatus) << result.err;
    EXPECT_EQ(result.err.rfind(errorLine("JRELoadError"), 0), 0u) << result.err;
}

TEST(VaultorServiceAsRootTest, LooksForTheSystemWideRuntime) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "not running as root";
    }
    if (access(kSystemWideRuntime, F_OK) == 0) {
        GTEST_SKIP() << "a runtime is installed at " << kSystemWideRuntime;
    }
    RuntimeFixture fixture;
    fixture.installJdk();
    ChildProcess::Result result =
        ChildProcess::runProgram({kTestLauncherProgram, "-version"}, {{"HOME", fixture.home()}});
    EXPECT_EQ(result.exitStatus, JavaLaunchError::kLocateStatus) << result.err;
    EXPECT_NE(result.err.find(kSystemWideRuntime), std::string::npos) << result.err;
}

}  // namespace
