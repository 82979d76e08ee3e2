#include "platform/events/ZedFanotifyEvent.h"

#include <fcntl.h>
#include <sys/fanotify.h>

#include <cstring>

namespace {

constexpr std::size_t kFileSystemIdSize = sizeof(__kernel_fsid_t);
constexpr std::size_t kHandleHeaderSize = offsetof(file_handle, f_handle);

// An information record's handle (and name, for the kinds that carry one), or nothing when the
// record is shorter than what it claims to hold.
std::optional<ZedFanotifyEvent::Entry> readRecord(const char* record, std::size_t length,
                                                  bool hasName) {
    const std::size_t handleOffset = sizeof(fanotify_event_info_header) + kFileSystemIdSize;
    if (length < handleOffset + kHandleHeaderSize) {
        return std::nullopt;
    }
    const auto* handle = reinterpret_cast<const file_handle*>(record + handleOffset);
    unsigned int handleBytes = 0;
    std::memcpy(&handleBytes, record + handleOffset, sizeof handleBytes);
    const std::size_t handleEnd = handleOffset + kHandleHeaderSize + handleBytes;
    if (handleBytes > MAX_HANDLE_SZ || handleEnd > length) {
        return std::nullopt;
    }
    ZedFanotifyEvent::Entry entry;
    const char* fileSystemId = record + sizeof(fanotify_event_info_header);
    entry.directory.key =
        std::string_view(fileSystemId, handleEnd - sizeof(fanotify_event_info_header));
    entry.directory.handle = handle;
    entry.directory.fileSystemKey = std::string_view(fileSystemId, kFileSystemIdSize);
    if (hasName) {
        const char* name = record + handleEnd;
        const std::size_t room = length - handleEnd;
        const std::size_t size = strnlen(name, room);
        if (size == room || size == 0) {
            return std::nullopt;
        }
        entry.name = std::string_view(name, size);
    }
    return entry;
}

}  // namespace

std::optional<ZedFanotifyEvent> ZedFanotifyEvent::parse(const char* buffer, std::size_t available,
                                                        std::size_t& length) {
    length = 0;
    if (available < sizeof(fanotify_event_metadata)) {
        return std::nullopt;
    }
    fanotify_event_metadata metadata;
    std::memcpy(&metadata, buffer, sizeof metadata);
    if (metadata.event_len < sizeof metadata || metadata.event_len > available) {
        return std::nullopt;
    }
    length = metadata.event_len;
    if (metadata.vers != FANOTIFY_METADATA_VERSION || metadata.metadata_len < sizeof metadata ||
        metadata.metadata_len > metadata.event_len) {
        return std::nullopt;
    }
    ZedFanotifyEvent event;
    event.mask = metadata.mask;
    for (std::size_t offset = metadata.metadata_len; offset < metadata.event_len;) {
        fanotify_event_info_header header;
        if (metadata.event_len - offset < sizeof header) {
            return std::nullopt;
        }
        std::memcpy(&header, buffer + offset, sizeof header);
        if (header.len < sizeof header || header.len > metadata.event_len - offset) {
            return std::nullopt;
        }
        const char* record = buffer + offset;
        switch (header.info_type) {
            case FAN_EVENT_INFO_TYPE_FID:
                if (const auto entry = readRecord(record, header.len, false)) {
                    event.object = entry->directory;
                } else {
                    return std::nullopt;
                }
                break;
            case FAN_EVENT_INFO_TYPE_DFID_NAME:
            case FAN_EVENT_INFO_TYPE_OLD_DFID_NAME:
                event.entry = readRecord(record, header.len, true);
                if (!event.entry) {
                    return std::nullopt;
                }
                break;
            case FAN_EVENT_INFO_TYPE_NEW_DFID_NAME:
                event.renamedTo = readRecord(record, header.len, true);
                if (!event.renamedTo) {
                    return std::nullopt;
                }
                break;
            default:  // other records (a process's descriptor, an error) say nothing of paths
                break;
        }
        offset += header.len;
    }
    return event;
}
