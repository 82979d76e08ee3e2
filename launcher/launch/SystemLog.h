#pragma once

#include <string_view>

// Where the launcher's lines go. Everything the launcher does is written here, one line per
// event, so that a service that fails to start leaves a trace in the system log.
class SystemLog {
  public:
    enum class Priority { Notice, Error };

    SystemLog() = default;
    SystemLog(const SystemLog&) = delete;
    SystemLog& operator=(const SystemLog&) = delete;
    virtual ~SystemLog() = default;

    void notice(std::string_view line) { write(Priority::Notice, line); }
    void error(std::string_view line) { write(Priority::Error, line); }

  protected:
    virtual void write(Priority priority, std::string_view line) = 0;
};
