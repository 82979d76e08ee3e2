#include "launch/JavaLauncher.h"

#include <dlfcn.h>
#include <jni.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "launch/JavaLaunchError.h"
#include "platform/LoaderEnvironment.h"

namespace {

// The launcher entry point of the runtime's libjli; JDK 9 and later read these 14 parameters.
using JLILaunchFunction = int (*)(int argc, char** argv, int jargc, const char** jargv,
                                  int appclassc, const char** appclassv, const char* fullversion,
                                  const char* dotversion, const char* pname, const char* lname,
                                  jboolean javaargs, jboolean cpwildcard, jboolean javaw,
                                  jint ergo);

bool fileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

std::string loaderError() {
    const char* message = dlerror();
    return message != nullptr ? message : "unknown loader error";
}

}  // namespace

JavaLauncher::JavaLauncher(SystemLog& log, std::optional<std::string> bundledRuntimeLibrary,
                           std::string osJava)
    : log_(log),
      bundledRuntimeLibrary_(std::move(bundledRuntimeLibrary)),
      osJava_(std::move(osJava)) {}

int JavaLauncher::launchWithBundledJRE(int argc, char** argv) {
    log_.notice("launchWithBundledJRE");
    if (!bundledRuntimeLibrary_) {
        throw JavaLaunchError(JavaLaunchError::Cause::Locate, "no home folder");
    }
    const std::string& path = *bundledRuntimeLibrary_;
    if (!fileExists(path)) {
        throw JavaLaunchError(JavaLaunchError::Cause::Locate, path);
    }
    // The runtime re-executes the whole process when the loader path names a folder with a
    // Java VM in it; the service has to start here, in this process, exactly once. The rest of
    // the path stays: the service loads its own native libraries through it.
    removeJavaVmFoldersFromLoaderSearchPath();
    void* library = dlopen(path.c_str(), RTLD_LAZY);
    if (library == nullptr) {
        throw JavaLaunchError(JavaLaunchError::Cause::Load, loaderError());
    }
    void* entryPoint = dlsym(library, "JLI_Launch");
    if (entryPoint == nullptr) {
        std::string detail = path + ": " + loaderError();
        dlclose(library);
        throw JavaLaunchError(JavaLaunchError::Cause::EntryPoint, detail);
    }
    logArguments(argc, argv);
    auto launch = reinterpret_cast<JLILaunchFunction>(entryPoint);
    return launch(argc, argv, 0, nullptr, 0, nullptr, "", "", "java", "java", JNI_FALSE, JNI_FALSE,
                  JNI_FALSE, 0);
}

int JavaLauncher::launchWithOsJRE(int /*argc*/, char** argv) {
    log_.notice("launchWithOsJRE");
    execv(osJava_.c_str(), argv);
    log_.error("Could not start " + osJava_ + ": " + std::strerror(errno));
    return -1;
}

void JavaLauncher::logArguments(int argc, char** argv) {
    log_.notice("Arguments...");
    for (int i = 0; i < argc; ++i) {
        log_.notice("  " + std::to_string(i) + ":  " + argv[i]);
    }
}
