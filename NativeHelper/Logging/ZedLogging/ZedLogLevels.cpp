#include "Logging/ZedLogging/ZedLogLevels.h"

#include "include/vtnative.h"

const int32_t LEVEL_OFF = 0;
const int32_t LEVEL_FATAL = 0;
const int32_t LEVEL_ERROR = 3;
const int32_t LEVEL_WARN = 4;
const int32_t LEVEL_INFO = 6;
const int32_t LEVEL_DEBUG = 7;
const int32_t LEVEL_TRACE = 7;
const int32_t LEVEL_ALL = 7;

void ZedLogLevels::setAll(int mask) {
    wrapperMask_.store(mask, std::memory_order_relaxed);
    watcherMask_.store(mask, std::memory_order_relaxed);
}

extern "C" void set_log_level(void*, int32_t level) {
    ZedLogLevels::setAll(level);
}
