#include "src/ThunkPool.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "src/CallbackFrame.h"

namespace nativio {

namespace {

constexpr uint64_t kDispatcherPlaceholder = 0x1526374815263748;
constexpr uint64_t kTargetPlaceholder = 0x1234567812345678;
constexpr uint32_t kEndMarker = 0xfedcba98;
constexpr size_t kChunkSize = 64 * 1024;
// A template longer than this lacks its end marker.
constexpr size_t kTemplateLimit = ThunkPool::kDataOffset;
static_assert(ThunkPool::kDataOffset + 24 <= ThunkPool::kSlotSize);
constexpr uint8_t kTrap = 0xcc;

size_t offsetOf(const uint8_t* code, size_t length, const void* pattern, size_t patternSize) {
    for (size_t offset = 0; offset + patternSize <= length; ++offset) {
        if (std::memcmp(code + offset, pattern, patternSize) == 0) {
            return offset;
        }
    }
    return length;
}

}  // namespace

ThunkPool& ThunkPool::instance() {
    static ThunkPool pool;
    return pool;
}

ThunkPool::ThunkPool() : template_(findTemplate()) {}

ThunkPool::Template ThunkPool::findTemplate() {
    Template found;
    const size_t marker =
        offsetOf(nativio_thunk_template, kTemplateLimit, &kEndMarker, sizeof(kEndMarker));
    if (marker == kTemplateLimit) {
        std::fputs("nativio: the thunk template has no end marker\n", stderr);
        return found;
    }
    found.length = marker + sizeof(kEndMarker);
    found.dispatcherOffset = offsetOf(nativio_thunk_template, marker, &kDispatcherPlaceholder,
                                      sizeof(kDispatcherPlaceholder));
    found.targetOffset =
        offsetOf(nativio_thunk_template, marker, &kTargetPlaceholder, sizeof(kTargetPlaceholder));
    if (found.dispatcherOffset == marker || found.targetOffset == marker) {
        std::fputs("nativio: the thunk template lacks a placeholder\n", stderr);
        found.length = 0;
    }
    return found;
}

// Adds one chunk of slots to the free list. Called with the mutex held.
bool ThunkPool::grow() {
    uint8_t* writable = nullptr;
    uint8_t* executable = nullptr;
    const int file = memfd_create("nativio-thunks", MFD_CLOEXEC);
    if (file >= 0 && ftruncate(file, kChunkSize) == 0) {
        void* view = mmap(nullptr, kChunkSize, PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
        void* code = mmap(nullptr, kChunkSize, PROT_READ | PROT_EXEC, MAP_SHARED, file, 0);
        if (view != MAP_FAILED && code != MAP_FAILED) {
            writable = static_cast<uint8_t*>(view);
            executable = static_cast<uint8_t*>(code);
        } else {
            if (view != MAP_FAILED) {
                munmap(view, kChunkSize);
            }
            if (code != MAP_FAILED) {
                munmap(code, kChunkSize);
            }
        }
    }
    const int reason = errno;
    if (file >= 0) {
        close(file);
    }
    if (writable == nullptr) {
        void* both = mmap(nullptr, kChunkSize, PROT_READ | PROT_WRITE | PROT_EXEC,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (both == MAP_FAILED) {
            return false;
        }
        static bool logged = false;
        if (!logged) {
            logged = true;
            std::fprintf(stderr,
                         "nativio: no double-mapped memory file for callback thunks (%s); using "
                         "pages that are writable and executable\n",
                         std::strerror(reason));
        }
        writable = executable = static_cast<uint8_t*>(both);
    }
    std::memset(writable, kTrap, kChunkSize);
    for (size_t offset = kChunkSize; offset >= kSlotSize; offset -= kSlotSize) {
        free_.push_back({writable + offset - kSlotSize, executable + offset - kSlotSize});
    }
    return true;
}

const void* ThunkPool::create(const ThunkData& data) {
    if (template_.length == 0) {
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (free_.empty() && !grow()) {
        return nullptr;
    }
    const Slot slot = free_.back();
    free_.pop_back();
    const auto dispatcher = reinterpret_cast<uintptr_t>(&nativio_callback_entry);
    std::memcpy(slot.writable, nativio_thunk_template, template_.length);
    std::memcpy(slot.writable + template_.dispatcherOffset, &dispatcher, sizeof(dispatcher));
    std::memcpy(slot.writable + template_.targetOffset, &data.target, sizeof(data.target));
    uint8_t* const fields = slot.writable + kDataOffset;
    std::memcpy(fields, &data.enterPoint, sizeof(data.enterPoint));
    std::memcpy(fields + 8, &data.meta, sizeof(data.meta));
    std::memcpy(fields + 16, &data.parametersLength, sizeof(data.parametersLength));
    live_.emplace(reinterpret_cast<uintptr_t>(slot.executable), slot.writable);
    return slot.executable;
}

bool ThunkPool::release(const void* address, ThunkData& data) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = live_.find(reinterpret_cast<uintptr_t>(address));
    if (found == live_.end()) {
        return false;
    }
    auto* executable = reinterpret_cast<uint8_t*>(found->first);
    uint8_t* writable = found->second;
    data = dataOf(executable);
    // A late call into a released thunk traps instead of running whatever comes next.
    std::memset(writable, kTrap, kSlotSize);
    free_.push_back({writable, executable});
    live_.erase(found);
    return true;
}

ThunkData ThunkPool::dataOf(const uint8_t* thunk) {
    const ThunkPool& pool = instance();
    ThunkData data{};
    std::memcpy(&data.target, thunk + pool.template_.targetOffset, sizeof(data.target));
    const uint8_t* const fields = thunk + kDataOffset;
    std::memcpy(&data.enterPoint, fields, sizeof(data.enterPoint));
    std::memcpy(&data.meta, fields + 8, sizeof(data.meta));
    std::memcpy(&data.parametersLength, fields + 16, sizeof(data.parametersLength));
    return data;
}

}  // namespace nativio
