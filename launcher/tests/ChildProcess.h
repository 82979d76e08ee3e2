#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

// Runs a program, or a piece of this test program in a forked child, with its standard output,
// standard error and log lines collected in files, and waits for it to end.
class ChildProcess {
  public:
    struct Result {
        bool exited = false;
        int exitStatus = -1;
        int signal = 0;
        std::string out;
        std::string err;
        std::vector<std::string> logLines;
    };

    // Environment changes: a value sets the variable, an empty value removes it.
    using Environment = std::map<std::string, std::string>;

    static Result runProgram(const std::vector<std::string>& argv, const Environment& changes);

    // Runs `body` in a forked child; it receives the descriptor that collects log lines and
    // returns the child's exit status.
    static Result runInChild(const std::function<int(int logFd)>& body,
                             const Environment& changes = {});
};
