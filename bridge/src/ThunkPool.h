#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

namespace nativio {

// What a thunk carries besides its code: chosen by the creator, read back by the dispatcher
// through the thunk's executable address.
struct ThunkData {
    void* target;              // the global reference to the callback object
    void* enterPoint;          // the method ID of its enterPoint
    const void* meta;          // its meta record
    int64_t parametersLength;  // the bytes of parameter slots it asks for
};

// Executable copies of the thunk template. The pages are never writable and executable at
// once: each chunk of the pool is one memory file mapped twice, a writable view to patch and an
// executable view to call. Only where that fails do the pages fall back to a single mapping
// that is both (logged once). Creation and release are safe from any thread; released slots
// are reused, chunks stay mapped for the life of the process.
class ThunkPool {
  public:
    static ThunkPool& instance();

    // The executable address of a new thunk carrying `data`, or null when memory ran out.
    const void* create(const ThunkData& data);
    // Takes the thunk out of service and gives its data back; false when `address` is not a
    // live thunk of this pool.
    bool release(const void* address, ThunkData& data);
    // The data of a live thunk, read by the dispatcher from the thunk it was entered through.
    static ThunkData dataOf(const uint8_t* thunk);

    static constexpr size_t kSlotSize = 64;
    static constexpr size_t kDataOffset = 40;

  private:
    struct Slot {
        uint8_t* writable;
        uint8_t* executable;
    };
    struct Template {
        size_t length = 0;
        size_t dispatcherOffset = 0;
        size_t targetOffset = 0;
    };

    ThunkPool();
    bool grow();
    static Template findTemplate();

    const Template template_;
    std::mutex mutex_;
    // Live thunks by executable address.
    std::map<uintptr_t, uint8_t*> live_;
    std::vector<Slot> free_;
};

}  // namespace nativio
