#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The system's tracing tool as the file-open detector needs it: a program that prints one line
// per successful opening by the named processes, "uid<separator>name<separator>path", until it
// is terminated. Tests stand a script in its place.
class ZedTracer {
  public:
    struct Command {
        std::string program;
        std::vector<std::string> arguments;
        // Added to the caller's environment.
        std::vector<std::pair<std::string, std::string>> environment;
    };
    // Receives the reason why one process name cannot be traced.
    using Refusal = std::function<void(const std::string& reason)>;

    virtual ~ZedTracer() = default;

    // What this machine lacks for tracing, naming it; empty when tracing can start.
    virtual std::string missingPrerequisite() = 0;
    // The command that traces the named processes, or nothing when none of them can be traced.
    virtual std::optional<Command> commandFor(const std::vector<std::string>& processNames,
                                              const Refusal& refused) = 0;
    // Paths this long or longer may have been cut by the tool; 0 when it never cuts.
    virtual std::size_t longestWholePath() const = 0;
};
