#include "tests/RuntimeFixture.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tests/LauncherTestPaths.h"

namespace fs = std::filesystem;

RuntimeFixture::RuntimeFixture() {
    char pattern[] = "/tmp/vt-launcher-home-XXXXXX";
    home_ = mkdtemp(pattern);
}

// remove_all deletes the link to the JDK, never what it points at.
RuntimeFixture::~RuntimeFixture() {
    std::error_code error;
    fs::remove_all(home_, error);
}

std::string RuntimeFixture::runtimeFolder() const {
    return home_ + "/.local/opt/vaultor/lib/runtime";
}

std::string RuntimeFixture::runtimeLibrary() const {
    return runtimeFolder() + "/lib/libjli.so";
}

std::string RuntimeFixture::runtimeVmFolder() const {
    return runtimeFolder() + "/lib/server";
}

void RuntimeFixture::createRuntimeLibFolder() const {
    fs::create_directories(runtimeFolder() + "/lib");
}

void RuntimeFixture::installJdk() {
    fs::create_directories(fs::path(runtimeFolder()).parent_path());
    fs::create_directory_symlink(kTestJavaHome, runtimeFolder());
}

void RuntimeFixture::installUnloadableLibrary() {
    createRuntimeLibFolder();
    std::ofstream(runtimeLibrary()) << "not a shared library\n";
}

void RuntimeFixture::installLibraryWithoutEntryPoint() {
    createRuntimeLibFolder();
    fs::create_symlink(kTestLibraryWithoutEntryPoint, runtimeLibrary());
}

std::string RuntimeFixture::createForeignVmFolder() {
    std::string folder = home_ + "/other-runtime/lib/server";
    fs::create_directories(folder);
    fs::create_symlink(std::string(kTestJavaHome) + "/lib/server/libjvm.so", folder + "/libjvm.so");
    return folder;
}
