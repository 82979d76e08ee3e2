#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// Runs a helper program and collects what it writes on standard output.
namespace ZedChildProcess {
// Nothing when it cannot be started, fails, or runs past the timeout (it is killed then).
std::optional<std::string> output(const std::string& program,
                                  const std::vector<std::string>& arguments,
                                  std::chrono::milliseconds timeout);
}  // namespace ZedChildProcess
