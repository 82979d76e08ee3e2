// The fanotify record parser. The input is what one read of a fanotify group returned (real
// records captured on this kernel seed it), in a buffer of exactly that size; it is walked
// event by event as the file-event source walks it. Every event must lie within the bytes
// read, and every handle, name and key of it within its event, names without a NUL and never
// empty.
#include <sys/fanotify.h>

#include <fcntl.h>

#include <cstring>
#include <memory>

#include "platform/events/ZedFanotifyEvent.h"
#include "support/FuzzCheck.h"

namespace {

bool within(std::string_view view, const char* begin, const char* end) {
    return view.data() >= begin && view.data() + view.size() <= end;
}

void checkHandle(const ZedFanotifyEvent::Handle& handle, const char* begin, const char* end) {
    VT_FUZZ_CHECK(within(handle.key, begin, end));
    VT_FUZZ_CHECK(within(handle.fileSystemKey, begin, end));
    VT_FUZZ_CHECK(handle.fileSystemKey.size() == sizeof(__kernel_fsid_t));
    const auto* bytes = reinterpret_cast<const char*>(handle.handle);
    unsigned int handleBytes = 0;
    VT_FUZZ_CHECK(bytes >= begin && bytes + sizeof handleBytes <= end);
    std::memcpy(&handleBytes, bytes, sizeof handleBytes);
    VT_FUZZ_CHECK(bytes + offsetof(file_handle, f_handle) + handleBytes <= end);
    VT_FUZZ_CHECK(handle.key.data() + handle.key.size() ==
                  bytes + offsetof(file_handle, f_handle) + handleBytes);
}

void checkEntry(const ZedFanotifyEvent::Entry& entry, const char* begin, const char* end) {
    checkHandle(entry.directory, begin, end);
    VT_FUZZ_CHECK(within(entry.name, begin, end));
    VT_FUZZ_CHECK(!entry.name.empty());
    VT_FUZZ_CHECK(entry.name.find('\0') == std::string_view::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly the bytes read: a look past them is an overrun the sanitizer reports.
    const auto buffer = std::make_unique<char[]>(size);
    std::memcpy(buffer.get(), data, size);
    for (std::size_t offset = 0, length = 0; offset < size; offset += length) {
        const char* start = buffer.get() + offset;
        const auto event = ZedFanotifyEvent::parse(start, size - offset, length);
        VT_FUZZ_CHECK(length <= size - offset);
        if (length == 0) {
            break;
        }
        if (!event) {
            continue;
        }
        for (const auto* entry : {&event->entry, &event->renamedTo}) {
            if (*entry) {
                checkEntry(**entry, start, start + length);
            }
        }
        if (event->object) {
            checkHandle(*event->object, start, start + length);
        }
    }
    return 0;
}
