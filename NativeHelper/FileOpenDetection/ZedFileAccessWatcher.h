#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "Dispatch/ZedDispatchQueue.h"
#include "FileOpenDetection/ZedFileAccessWatcherDelegate.h"
#include "FileOpenDetection/ZedTracerLineBuffer.h"
#include "platform/tracing/ZedTracer.h"
#include "platform/tracing/ZedTracerProcess.h"

// Runs the tracing tool for the named processes and turns its lines into openings for the
// delegate. Starts are serialised on the start queue; the tool is launched, read and stopped on
// the loop queue (its own reader thread feeds it there, so no pool thread waits for the tool);
// each line is parsed on the notify queue, in order.
//
// A tool that ends by itself leaves the watcher stopped, with its exit logged, so that the next
// start launches a new one. stop() terminates the tool and returns once it is reaped.
class ZedFileAccessWatcher : public std::enable_shared_from_this<ZedFileAccessWatcher> {
  public:
    // Null when the queues cannot be made.
    static std::shared_ptr<ZedFileAccessWatcher> initWithDelegate(
        std::weak_ptr<ZedFileAccessWatcherDelegate> delegate, std::vector<std::string> processNames,
        std::shared_ptr<ZedTracer> tracer);
    ~ZedFileAccessWatcher();
    ZedFileAccessWatcher(const ZedFileAccessWatcher&) = delete;
    ZedFileAccessWatcher& operator=(const ZedFileAccessWatcher&) = delete;

    void setIsStarted(bool isStarted);
    void start();
    void stop();
    void invalidate();
    // The probe of the system tracing tool of the original platform, kept for that platform's
    // tool; empty without process names.
    std::string dtraceArgument() const;
    // Bytes of the tool's standard output, on the loop queue.
    void dataOut(std::string_view bytes);
    void fileOpenedDtraceLine(const std::string& line);

    bool isStarted();

  private:
    ZedFileAccessWatcher() = default;
    void launch(std::uint64_t start);
    // Leaves the watcher stopped after `start` failed or its tool ended, unless it was stopped
    // or started again meanwhile. Asynchronous: the loop queue never waits for the start queue.
    void startFailed(std::uint64_t start);
    void errorOut(std::string_view bytes);
    void tracerExited(std::uint64_t run, const std::string& status);
    void endRun();
    void tell(const std::string& message, int logLevel);
    std::shared_ptr<ZedFileAccessWatcherDelegate> delegate();
    std::string reportedName(const std::string& kernelName);

    bool _isStarted = false;
    std::shared_ptr<ZedDispatchQueue> _loopQueue;
    std::shared_ptr<ZedDispatchQueue> _notifyQueue;
    std::shared_ptr<ZedDispatchQueue> _startQueue;
    std::unique_ptr<ZedTracerProcess> _dtraceTask;
    ZedTracerLineBuffer _lastLine;
    ZedTracerLineBuffer _errorLines;
    // Counts starts and stops, so that a launch or an exit notice that a later stop or start
    // has overtaken does nothing. Changed on the start queue, read on the loop queue.
    std::atomic<std::uint64_t> _startNumber{0};
    std::uint64_t _run = 0;          // the start whose tool runs; on the loop queue
    mutable std::mutex _namesMutex;  // guards the delegate and the names, which invalidate drops
    std::weak_ptr<ZedFileAccessWatcherDelegate> _delegate;
    std::vector<std::string> _processNames;
    std::shared_ptr<ZedTracer> _tracer;
};
