#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "platform/tracing/ZedTracer.h"

// One run of the tracing tool. A thread of its own reads the tool's standard output and
// standard error for its whole life (a pipe nobody reads would block the tool), hands what it
// reads to the handlers in order, and reaps the tool when it ends, then reports its status.
class ZedTracerProcess {
  public:
    struct Handlers {
        std::function<void(std::string_view bytes)> output;
        std::function<void(std::string_view bytes)> errors;
        // The tool ended by itself; the text says how ("exited with status 1").
        std::function<void(const std::string& status)> exited;
    };

    // The running tool, or null with the reason in `failure`.
    static std::unique_ptr<ZedTracerProcess> launch(const ZedTracer::Command& command,
                                                    Handlers handlers, std::string& failure);
    // Terminates the tool as terminate() does.
    ~ZedTracerProcess();
    ZedTracerProcess(const ZedTracerProcess&) = delete;
    ZedTracerProcess& operator=(const ZedTracerProcess&) = delete;

    // SIGTERM, then SIGKILL when the tool has not ended a second later; returns once it is
    // reaped and no handler runs any more. Its unread output is dropped.
    void terminate();

    static std::string describeStatus(int status);

  private:
    ZedTracerProcess(pid_t child, int outputFd, int errorFd, int wakeFd, Handlers handlers);
    void serve();
    void reap();

    const pid_t child_;
    const int outputFd_;
    const int errorFd_;
    const int wakeFd_;
    Handlers handlers_;

    std::mutex mutex_;
    std::condition_variable reapedChanged_;
    bool reaped_ = false;
    bool terminating_ = false;
    std::thread reader_;
};
