// When the library is unloaded its threads must be gone before its code is: a worker still
// running would jump into unmapped memory. Runs before the library's static objects go away.
#include "Dispatch/ZedDispatchRuntime.h"
#include "logging/DDLog.h"
#include "platform/events/ZedEventJournal.h"

namespace {

__attribute__((destructor)) void stopLibraryThreads() {
    if (ZedDispatchRuntime::sharedIsAlive()) {
        ZedDispatchRuntime::shared().shutdown();
    }
    ZedEventJournal::shutdownShared();
    DDLog::shutdown();  // delivers what is pending first
}

}  // namespace
