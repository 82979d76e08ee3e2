#pragma once

#include <cstddef>
#include <cstdint>

namespace nativio {

// Builds a short line without allocating or locking, so that a signal handler can report
// what it caught, and writes it to standard error.
class SignalSafeText {
  public:
    SignalSafeText& text(const char* s);
    SignalSafeText& decimal(long value);
    SignalSafeText& hex(uint64_t value);
    void writeToStandardError() const;

  private:
    SignalSafeText& character(char c);

    char buffer_[160];
    size_t length_ = 0;
};

}  // namespace nativio
