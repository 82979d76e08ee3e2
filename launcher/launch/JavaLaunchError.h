#pragma once

#include <stdexcept>
#include <string>

// Raised when the runtime that ships with the product cannot start the service. It ends the
// launcher: nothing after the launch runs, and the process exits with the status of its cause.
//
// Exit statuses, chosen from the range shells use for "could not run the command" so that they
// read apart from a service that started and failed:
//   127  JRELocateError  no runtime library at the expected path
//   126  JREDLError      the runtime library exists but cannot be loaded
//   125  JRELoadError    the runtime library has no JLI_Launch entry point
class JavaLaunchError : public std::runtime_error {
  public:
    enum class Cause { Locate, Load, EntryPoint };

    static constexpr int kLocateStatus = 127;
    static constexpr int kLoadStatus = 126;
    static constexpr int kEntryPointStatus = 125;

    // `detail` names what failed (the path, the loader's message) for the log.
    JavaLaunchError(Cause cause, std::string detail);

    static const char* name() { return "JavaLaunchError"; }
    Cause cause() const { return cause_; }
    const std::string& reason() const { return reason_; }
    const std::string& detail() const { return detail_; }
    int exitStatus() const;

  private:
    Cause cause_;
    std::string reason_;
    std::string detail_;
};
