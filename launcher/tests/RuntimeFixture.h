#pragma once

#include <string>

// A temporary home folder with the shipped runtime's place in it, filled in one of the ways a
// real installation can be: the JDK of this machine, a broken library, a library that is no
// Java launcher, or nothing at all.
class RuntimeFixture {
  public:
    RuntimeFixture();
    ~RuntimeFixture();
    RuntimeFixture(const RuntimeFixture&) = delete;
    RuntimeFixture& operator=(const RuntimeFixture&) = delete;

    const std::string& home() const { return home_; }
    std::string runtimeLibrary() const;
    // The folder of the shipped runtime's own Java VM (libjvm.so).
    std::string runtimeVmFolder() const;

    // The runtime folder is a link to the JDK installed here.
    void installJdk();
    // The runtime library is a file the loader rejects.
    void installUnloadableLibrary();
    // The runtime library loads but has no JLI_Launch.
    void installLibraryWithoutEntryPoint();
    // A folder of another runtime's VM, such as an old loader path may still name; returns it.
    std::string createForeignVmFolder();

  private:
    std::string runtimeFolder() const;
    void createRuntimeLibFolder() const;

    std::string home_;
};
