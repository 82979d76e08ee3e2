#include "platform/tracing/ZedTracerProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

extern char** environ;

namespace {

constexpr std::chrono::seconds kTermGrace{1};

void closeIfOpen(int fd) {
    if (fd >= 0) {
        ::close(fd);
    }
}

// The caller's environment with the command's additions in place of same-named entries.
std::vector<std::string> environmentFor(const ZedTracer::Command& command) {
    std::vector<std::string> entries;
    for (char** entry = environ; entry && *entry; ++entry) {
        const std::string_view text(*entry);
        bool replaced = false;
        for (const auto& [name, value] : command.environment) {
            replaced = replaced || text.substr(0, name.size() + 1) == name + "=";
        }
        if (!replaced) {
            entries.emplace_back(text);
        }
    }
    for (const auto& [name, value] : command.environment) {
        entries.push_back(name + "=" + value);
    }
    return entries;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& text : strings) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

std::unique_ptr<ZedTracerProcess> ZedTracerProcess::launch(const ZedTracer::Command& command,
                                                           Handlers handlers,
                                                           std::string& failure) {
    int output[2] = {-1, -1};
    int errors[2] = {-1, -1};
    const int wake = ::eventfd(0, EFD_CLOEXEC);
    if (::pipe2(output, O_CLOEXEC) != 0 || ::pipe2(errors, O_CLOEXEC) != 0 || wake < 0) {
        failure = std::string("unable to make pipes for the tracer: ") + std::strerror(errno);
        for (const int fd : {output[0], output[1], errors[0], errors[1], wake}) {
            closeIfOpen(fd);
        }
        return nullptr;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    // A group of its own, so that terminating it reaches whatever it started.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(
        &attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &signals);

    std::vector<std::string> argumentStrings{command.program};
    argumentStrings.insert(argumentStrings.end(), command.arguments.begin(),
                           command.arguments.end());
    std::vector<std::string> environmentStrings = environmentFor(command);
    std::vector<char*> argv = pointersTo(argumentStrings);
    std::vector<char*> envp = pointersTo(environmentStrings);
    pid_t child = -1;
    const int spawned = posix_spawnp(&child, command.program.c_str(), &actions, &attributes,
                                     argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(output[1]);
    ::close(errors[1]);
    if (spawned != 0) {
        failure = "unable to start " + command.program + ": " + std::strerror(spawned);
        for (const int fd : {output[0], errors[0], wake}) {
            ::close(fd);
        }
        return nullptr;
    }
    std::unique_ptr<ZedTracerProcess> process(
        new ZedTracerProcess(child, output[0], errors[0], wake, std::move(handlers)));
    process->reader_ = std::thread(&ZedTracerProcess::serve, process.get());
    return process;
}

ZedTracerProcess::ZedTracerProcess(pid_t child, int outputFd, int errorFd, int wakeFd,
                                   Handlers handlers)
    : child_(child),
      outputFd_(outputFd),
      errorFd_(errorFd),
      wakeFd_(wakeFd),
      handlers_(std::move(handlers)) {}

ZedTracerProcess::~ZedTracerProcess() {
    terminate();
    ::close(outputFd_);
    ::close(errorFd_);
    ::close(wakeFd_);
}

void ZedTracerProcess::serve() {
    pollfd watched[3] = {{outputFd_, POLLIN, 0}, {errorFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    int open = 2;
    while (open > 0) {
        if (::poll(watched, 3, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        if (watched[2].revents) {
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (!watched[i].revents) {
                continue;
            }
            char buffer[16384];
            const ssize_t got = ::read(watched[i].fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                watched[i].fd = -1;
                --open;
                continue;
            }
            const std::string_view bytes(buffer, static_cast<std::size_t>(got));
            if (i == 0) {
                handlers_.output(bytes);
            } else {
                handlers_.errors(bytes);
            }
        }
    }
    reap();
}

void ZedTracerProcess::reap() {
    // Waits without reaping: until the child is reaped below, its pid cannot be reused, so
    // terminate() may signal it safely under the mutex.
    siginfo_t info{};
    while (::waitid(P_PID, static_cast<id_t>(child_), &info, WEXITED | WNOWAIT) != 0 &&
           errno == EINTR) {
    }
    int status = 0;
    bool byItself = false;
    {
        std::lock_guard lock(mutex_);
        while (::waitpid(child_, &status, 0) < 0 && errno == EINTR) {
        }
        reaped_ = true;
        byItself = !terminating_;
    }
    reapedChanged_.notify_all();
    if (byItself) {
        handlers_.exited(describeStatus(status));
    }
}

void ZedTracerProcess::terminate() {
    {
        std::unique_lock lock(mutex_);
        if (!terminating_) {
            terminating_ = true;
            if (!reaped_) {
                ::kill(-child_, SIGTERM);
            }
            // The reader stops reading at once and waits for the tool's end.
            const std::uint64_t one = 1;
            [[maybe_unused]] const ssize_t woken = ::write(wakeFd_, &one, sizeof one);
            if (!reapedChanged_.wait_for(lock, kTermGrace, [this] { return reaped_; })) {
                ::kill(-child_, SIGKILL);
            }
        }
    }
    if (reader_.joinable()) {
        reader_.join();
    }
}

std::string ZedTracerProcess::describeStatus(int status) {
    if (WIFEXITED(status)) {
        return "exited with status " + std::to_string(WEXITSTATUS(status));
    }
    if (WIFSIGNALED(status)) {
        return std::string("was killed by signal ") + std::to_string(WTERMSIG(status)) + " (" +
               strsignal(WTERMSIG(status)) + ")";
    }
    return "ended with status " + std::to_string(status);
}
