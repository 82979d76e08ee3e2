#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// Takes a fuzz input apart from the front: single bytes and integers that steer a target, and
// pieces of text between separators. Reading past the end gives zeros and empty pieces, so
// every input, however short, means something.
class FuzzInput {
  public:
    FuzzInput(const uint8_t* data, size_t size)
        : text_(reinterpret_cast<const char*>(data), size) {}

    bool empty() const { return text_.empty(); }
    size_t remaining() const { return text_.size(); }

    uint8_t takeByte() {
        if (text_.empty()) {
            return 0;
        }
        const auto byte = static_cast<uint8_t>(text_.front());
        text_.remove_prefix(1);
        return byte;
    }

    // The next sizeof(T) bytes in the machine's order, zero-filled when fewer remain.
    template <typename T>
    T takeInteger() {
        T value{};
        const size_t count = text_.size() < sizeof(T) ? text_.size() : sizeof(T);
        std::memcpy(&value, text_.data(), count);
        text_.remove_prefix(count);
        return value;
    }

    // The text up to the next separator (which is consumed), or the rest when there is none.
    std::string_view takeUntil(char separator) {
        const size_t end = text_.find(separator);
        const std::string_view piece = text_.substr(0, end);
        text_.remove_prefix(end == std::string_view::npos ? text_.size() : end + 1);
        return piece;
    }

    std::string_view takeBytes(size_t count) {
        const std::string_view piece = text_.substr(0, count);
        text_.remove_prefix(piece.size());
        return piece;
    }

    std::string_view takeRest() { return takeBytes(text_.size()); }

  private:
    std::string_view text_;
};
