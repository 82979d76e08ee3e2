#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Cuts the tracing tool's output, which arrives in pieces of any size, into whole lines: a line
// split across two reads comes out once, complete.
class ZedTracerLineBuffer {
  public:
    // A kept unfinished line longer than this is given out as it is, so that a tool that never
    // ends its line cannot grow the buffer without bound.
    static constexpr std::size_t kLongestLine = 64 * 1024;

    // The non-empty complete lines of what was kept and `bytes`, in order, without their line
    // ends. An unfinished last line is kept for the next call.
    std::vector<std::string> linesIn(std::string_view bytes);
    void clear() { _lastLine.clear(); }
    const std::string& lastLine() const { return _lastLine; }

  private:
    std::string _lastLine;
};
