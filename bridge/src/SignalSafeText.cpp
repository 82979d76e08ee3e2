#include "src/SignalSafeText.h"

#include <unistd.h>

namespace nativio {

SignalSafeText& SignalSafeText::character(char c) {
    if (length_ < sizeof(buffer_)) {
        buffer_[length_++] = c;
    }
    return *this;
}

SignalSafeText& SignalSafeText::text(const char* s) {
    while (*s != '\0') {
        character(*s++);
    }
    return *this;
}

SignalSafeText& SignalSafeText::decimal(long value) {
    unsigned long magnitude = value < 0 ? 0ul - static_cast<unsigned long>(value) : value;
    if (value < 0) {
        character('-');
    }
    char digits[24];
    size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (count > 0) {
        character(digits[--count]);
    }
    return *this;
}

SignalSafeText& SignalSafeText::hex(uint64_t value) {
    char digits[16];
    size_t count = 0;
    do {
        digits[count++] = "0123456789abcdef"[value & 0xf];
        value >>= 4;
    } while (value != 0);
    while (count > 0) {
        character(digits[--count]);
    }
    return *this;
}

void SignalSafeText::writeToStandardError() const {
    size_t written = 0;
    while (written < length_) {
        const ssize_t n = write(STDERR_FILENO, buffer_ + written, length_ - written);
        if (n <= 0) {
            return;
        }
        written += static_cast<size_t>(n);
    }
}

}  // namespace nativio
