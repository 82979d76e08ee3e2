#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstddef>

// Reads a non-blocking descriptor until it has nothing more, handing each chunk to `chunk`
// (called with the buffer and the bytes read).
template <typename Chunk>
void ZedReadUntilEmpty(int fd, char* buffer, std::size_t size, Chunk chunk) {
    for (;;) {
        const ssize_t length = read(fd, buffer, size);
        if (length > 0) {
            chunk(buffer, static_cast<std::size_t>(length));
        } else if (length == 0 || errno != EINTR) {
            return;
        }
    }
}
