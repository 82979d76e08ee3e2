#include <gtest/gtest.h>

#include <cstdlib>

#include "launch/JavaLaunchError.h"
#include "launch/JavaLauncher.h"
#include "launch/LocalizedStrings.h"
#include "launch/VaultorService.h"
#include "tests/CapturingLog.h"
#include "tests/FakeVersionSource.h"
#include "tests/RuntimeFixture.h"

namespace {

using Texts = std::vector<std::string>;

// The failures the launcher meets before any Java code runs; none of them starts a JVM, so they
// run in this process.
class JavaLauncherFailureTest : public ::testing::Test {
  protected:
    JavaLaunchError::Cause causeOfLaunch(std::optional<std::string> library) {
        JavaLauncher launcher(log, std::move(library), "/nonexistent/java");
        try {
            launcher.launchWithBundledJRE(argc, argv);
        } catch (const JavaLaunchError& error) {
            EXPECT_FALSE(error.reason().empty());
            lastError = error.what();
            return error.cause();
        }
        ADD_FAILURE() << "no launch error";
        return JavaLaunchError::Cause::Locate;
    }

    char program[15] = "VaultorService";
    char option[8] = "-Xmx64m";
    char* argv[3] = {program, option, nullptr};
    int argc = 2;
    RuntimeFixture fixture;
    CapturingLog log;
    std::string lastError;
};

TEST_F(JavaLauncherFailureTest, MissingRuntimeIsALocateError) {
    EXPECT_EQ(causeOfLaunch(fixture.runtimeLibrary()), JavaLaunchError::Cause::Locate);
    EXPECT_NE(lastError.find(fixture.runtimeLibrary()), std::string::npos) << lastError;
    EXPECT_EQ(causeOfLaunch(std::nullopt), JavaLaunchError::Cause::Locate);
    EXPECT_EQ(log.texts(), (Texts{"launchWithBundledJRE", "launchWithBundledJRE"}));
}

TEST_F(JavaLauncherFailureTest, UnloadableRuntimeIsALoadError) {
    fixture.installUnloadableLibrary();
    EXPECT_EQ(causeOfLaunch(fixture.runtimeLibrary()), JavaLaunchError::Cause::Load);
    EXPECT_NE(lastError.find(fixture.runtimeLibrary()), std::string::npos) << lastError;
}

TEST_F(JavaLauncherFailureTest,
       RuntimeWithoutEntryPointIsAnEntryPointErrorAfterTheVmFoldersLeftTheLoaderPath) {
    fixture.installLibraryWithoutEntryPoint();
    setenv("LD_LIBRARY_PATH", (fixture.createForeignVmFolder() + ":/usr/lib/jvm").c_str(), 1);
    EXPECT_EQ(causeOfLaunch(fixture.runtimeLibrary()), JavaLaunchError::Cause::EntryPoint);
    EXPECT_STREQ(std::getenv("LD_LIBRARY_PATH"), "/usr/lib/jvm");
    unsetenv("LD_LIBRARY_PATH");
    EXPECT_NE(lastError.find("JLI_Launch"), std::string::npos) << lastError;
}

TEST(JavaLaunchErrorTest, EachCauseHasItsOwnTextAndStatus) {
    JavaLaunchError locate(JavaLaunchError::Cause::Locate, "a");
    JavaLaunchError load(JavaLaunchError::Cause::Load, "b");
    JavaLaunchError entry(JavaLaunchError::Cause::EntryPoint, "c");
    EXPECT_EQ(locate.reason(), LocalizedStrings::localizedString("JRELocateError"));
    EXPECT_EQ(load.reason(), LocalizedStrings::localizedString("JREDLError"));
    EXPECT_EQ(entry.reason(), LocalizedStrings::localizedString("JRELoadError"));
    EXPECT_NE(locate.reason(), load.reason());
    EXPECT_NE(load.reason(), entry.reason());
    EXPECT_EQ(locate.exitStatus(), 127);
    EXPECT_EQ(load.exitStatus(), 126);
    EXPECT_EQ(entry.exitStatus(), 125);
    EXPECT_EQ(std::string(locate.what()), "JavaLaunchError: " + locate.reason() + " (a)");
    EXPECT_EQ(LocalizedStrings::localizedString("NoSuchKey"), "");
}

// Start-up with a runtime that cannot start: everything up to the launch is logged, the error
// ends it, and no EXIT line follows.
TEST(VaultorServiceStartupTest, LaunchErrorEndsStartupWithItsStatus) {
    FakeVersionSource source = FakeVersionSource::withVersion(6, 1, 0);
    CapturingLog log;
    SystemVersion systemVersion(source, log);
    JavaLauncher launcher(log, "/nonexistent/libjli.so", "/nonexistent/java");
    VaultorService service(log, systemVersion, launcher, "3.10.0");
    char program[15] = "VaultorService";
    char spaced[8] = "a b  c";
    char* argv[] = {program, spaced, nullptr};

    EXPECT_EQ(service.main(2, argv), 127);
    EXPECT_EQ(
        log.texts(),
        (Texts{"LAUNCH VaultorService", "Argument[0]: VaultorService", "Argument[1]: a b  c",
               "OS X Version: 6.1.0", "Supports Java 1.7, use bundled JRE.", "launchWithBundledJRE",
               "JavaLaunchError: " + LocalizedStrings::localizedString("JRELocateError") +
                   " (/nonexistent/libjli.so)"}));
    EXPECT_EQ(log.lines().back().priority, SystemLog::Priority::Error);
}

TEST(VaultorServiceStartupTest, OlderSystemUsesTheSystemJavaAndReturnsAFailedExec) {
    FakeVersionSource source = FakeVersionSource::withVersion(3, 9, 11);
    CapturingLog log;
    SystemVersion systemVersion(source, log);
    JavaLauncher launcher(log, "/nonexistent/libjli.so", "/nonexistent/java");
    VaultorService service(log, systemVersion, launcher, "3.10.0");
    char program[15] = "VaultorService";
    char* argv[] = {program, nullptr};

    EXPECT_EQ(service.main(1, argv), -1);
    EXPECT_EQ(log.texts(), (Texts{"LAUNCH VaultorService", "Argument[0]: VaultorService",
                                  "OS X Version: 3.9.11", "launchWithOsJRE",
                                  "Could not start /nonexistent/java: No such file or directory",
                                  "EXIT VaultorService"}));
}

TEST(VaultorServiceStartupTest, UnknownVersionFallsBackToTheSystemJava) {
    FakeVersionSource source;
    CapturingLog log;
    SystemVersion systemVersion(source, log);
    JavaLauncher launcher(log, "/nonexistent/libjli.so", "/nonexistent/java");
    VaultorService service(log, systemVersion, launcher, "3.10.0");
    char program[15] = "VaultorService";
    char* argv[] = {program, nullptr};

    EXPECT_EQ(service.main(1, argv), -1);
    Texts texts = log.texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "OS X Version: 3.0.0"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "launchWithOsJRE"), texts.end());
}

}  // namespace
