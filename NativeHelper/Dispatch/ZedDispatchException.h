#pragma once

#include <stdexcept>
#include <string>

// What the queue helpers raise to the library's own callers: a name ("QueueException",
// "BarrierBlockException") and a reason.
class ZedDispatchException : public std::runtime_error {
  public:
    static constexpr const char* kQueueException = "QueueException";
    static constexpr const char* kBarrierBlockException = "BarrierBlockException";

    ZedDispatchException(std::string name, const std::string& reason);

    const std::string& name() const { return name_; }
    std::string reason() const { return what(); }

  private:
    std::string name_;
};
