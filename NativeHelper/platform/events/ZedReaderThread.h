#pragma once

#include <functional>
#include <thread>
#include <vector>

// A thread that calls a descriptor's callback each time the descriptor has something to read
// (or, for a mount table, a change to tell), until stopped.
class ZedReaderThread {
  public:
    struct Watched {
        int fd;
        short events;  // POLLIN, or POLLPRI for a mount table
        std::function<void()> ready;
    };

    ZedReaderThread();
    ~ZedReaderThread();
    ZedReaderThread(const ZedReaderThread&) = delete;
    ZedReaderThread& operator=(const ZedReaderThread&) = delete;

    // Nothing happens when already running or when a descriptor is not open.
    void start(std::vector<Watched> watched);
    // Returns once the thread has ended; no callback is called again.
    void stop();

  private:
    void serve(const std::vector<Watched>& watched);

    int wakeFd_ = -1;
    std::thread thread_;
};
