#pragma once

#include <functional>
#include <thread>

// A thread that calls `readable` each time a descriptor has something to read, until stopped.
class ZedReaderThread {
  public:
    ZedReaderThread();
    ~ZedReaderThread();
    ZedReaderThread(const ZedReaderThread&) = delete;
    ZedReaderThread& operator=(const ZedReaderThread&) = delete;

    // Nothing happens when already running or when `fd` is not open.
    void start(int fd, std::function<void()> readable);
    // Returns once the thread has ended; `readable` is not called again.
    void stop();

  private:
    void serve(int fd, const std::function<void()>& readable);

    int wakeFd_ = -1;
    std::thread thread_;
};
