#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

// Lays out argument blocks for the C++ tests, byte for byte as the Java side does.
class BlockBuilder {
  public:
    explicit BlockBuilder(size_t returnSize) : bytes_(returnSize + 8, 0), returnSize_(returnSize) {}

    BlockBuilder& entry(uint64_t code, uint64_t word) {
        put(code);
        put(word);
        ++count_;
        return *this;
    }

    BlockBuilder& memory(const std::vector<uint8_t>& data) {
        entry(5, data.size());
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        return *this;
    }

    std::vector<uint8_t> build() const {
        std::vector<uint8_t> block = bytes_;
        std::memcpy(block.data() + returnSize_, &count_, sizeof(count_));
        return block;
    }

  private:
    void put(uint64_t value) {
        const auto* raw = reinterpret_cast<const uint8_t*>(&value);
        bytes_.insert(bytes_.end(), raw, raw + sizeof(value));
    }

    std::vector<uint8_t> bytes_;
    size_t returnSize_;
    uint64_t count_ = 0;
};
