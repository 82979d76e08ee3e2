#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

struct file_handle;

// One event read from a fanotify group that reports directory handles with names and the
// handle of the object concerned. Views into the read buffer: valid while the buffer is.
struct ZedFanotifyEvent {
    // An object as the kernel names it: the file system's id and handle bytes together form a
    // key that stays the same for the object's whole life.
    struct Handle {
        std::string_view key;
        const file_handle* handle = nullptr;
        std::string_view fileSystemKey;  // the id of the file system, 8 bytes
    };
    // A directory entry: the directory's handle and the entry's name ("." for the directory
    // itself).
    struct Entry {
        Handle directory;
        std::string_view name;
    };

    std::uint64_t mask = 0;
    std::optional<Entry> entry;  // where the event happened (the old place of a rename)
    std::optional<Entry> renamedTo;
    std::optional<Handle> object;  // the file or directory concerned, if the kernel says

    // The event at the start of `buffer`, or nothing when its bytes are malformed; `length`
    // receives the bytes the event takes (0 when there is no whole event to read).
    static std::optional<ZedFanotifyEvent> parse(const char* buffer, std::size_t available,
                                                 std::size_t& length);
};
