#pragma once

#include <unistd.h>

#include <string>
#include <vector>

#include "launch/SystemLog.h"

// Keeps every line the launcher logs, and when given a file descriptor also writes each one
// there at once, so that lines survive a child process that the Java runtime ends abruptly.
class CapturingLog : public SystemLog {
  public:
    struct Line {
        Priority priority;
        std::string text;
    };

    explicit CapturingLog(int forwardTo = -1) : forwardTo_(forwardTo) {}

    const std::vector<Line>& lines() const { return lines_; }

    std::vector<std::string> texts() const {
        std::vector<std::string> result;
        for (const Line& line : lines_) {
            result.push_back(line.text);
        }
        return result;
    }

  protected:
    void write(Priority priority, std::string_view line) override {
        lines_.push_back({priority, std::string(line)});
        if (forwardTo_ >= 0) {
            std::string text = std::string(line) + "\n";
            [[maybe_unused]] ssize_t written = ::write(forwardTo_, text.data(), text.size());
        }
    }

  private:
    int forwardTo_;
    std::vector<Line> lines_;
};
