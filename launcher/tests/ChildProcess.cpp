#include "tests/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

// A Java start on a loaded two-core machine can take many seconds; this bound only keeps a
// stuck child from hanging the suite.
constexpr auto kChildTimeout = std::chrono::seconds(180);

class OutputFiles {
  public:
    OutputFiles() {
        char pattern[] = "/tmp/vt-launcher-child-XXXXXX";
        dir_ = mkdtemp(pattern);
    }
    ~OutputFiles() {
        std::error_code error;
        std::filesystem::remove_all(dir_, error);
    }
    std::string path(const char* name) const { return dir_ + "/" + name; }
    std::string read(const char* name) const {
        std::ifstream file(path(name));
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

  private:
    std::string dir_;
};

int openForWriting(const std::string& path) {
    return open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
}

void applyEnvironment(const ChildProcess::Environment& changes) {
    for (const auto& [name, value] : changes) {
        if (value.empty()) {
            unsetenv(name.c_str());
        } else {
            setenv(name.c_str(), value.c_str(), 1);
        }
    }
}

// In the child: standard output and error go to the files; returns the log descriptor.
int redirectOutput(const OutputFiles& files) {
    int out = openForWriting(files.path("out"));
    int err = openForWriting(files.path("err"));
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    return openForWriting(files.path("log"));
}

ChildProcess::Result waitFor(pid_t pid, const OutputFiles& files) {
    ChildProcess::Result result;
    int status = 0;
    auto deadline = std::chrono::steady_clock::now() + kChildTimeout;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    result.exited = WIFEXITED(status);
    result.exitStatus = result.exited ? WEXITSTATUS(status) : -1;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    result.out = files.read("out");
    result.err = files.read("err");
    std::istringstream log(files.read("log"));
    for (std::string line; std::getline(log, line);) {
        result.logLines.push_back(line);
    }
    return result;
}

}  // namespace

ChildProcess::Result ChildProcess::runProgram(const std::vector<std::string>& argv,
                                              const Environment& changes) {
    return runInChild(
        [&argv](int) {
            std::vector<char*> pointers;
            for (const std::string& arg : argv) {
                pointers.push_back(const_cast<char*>(arg.c_str()));
            }
            pointers.push_back(nullptr);
            execv(pointers[0], pointers.data());
            std::perror("execv");
            return 120;
        },
        changes);
}

ChildProcess::Result ChildProcess::runInChild(const std::function<int(int logFd)>& body,
                                              const Environment& changes) {
    OutputFiles files;
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        int logFd = redirectOutput(files);
        applyEnvironment(changes);
        int status = body(logFd);
        std::fflush(nullptr);
        _exit(status);
    }
    if (pid < 0) {
        Result failed;
        failed.err = "fork failed";
        return failed;
    }
    return waitFor(pid, files);
}
