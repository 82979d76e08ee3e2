#pragma once

// Paths of the build that the launcher tests run against, set by the build.
inline constexpr const char* kTestLauncherProgram = VT_TEST_LAUNCHER_PROGRAM;
inline constexpr const char* kTestJavaHome = VT_TEST_JAVA_HOME;
inline constexpr const char* kTestClasses = VT_TEST_CLASSES;
inline constexpr const char* kTestLibraryWithoutEntryPoint = VT_TEST_NO_ENTRY_LIBRARY;
// The folder holding the stand-in service's native library, libvtjniprobe.so, and nothing else.
inline constexpr const char* kTestJniFolder = VT_TEST_JNI_FOLDER;
