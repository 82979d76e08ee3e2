#pragma once

#include "launch/SystemLog.h"

// The system log through syslog(3), under the program's name and process id.
class Syslog : public SystemLog {
  public:
    Syslog();
    ~Syslog() override;

  protected:
    void write(Priority priority, std::string_view line) override;
};
