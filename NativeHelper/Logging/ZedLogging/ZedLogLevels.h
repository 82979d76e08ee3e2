#pragma once

#include <atomic>

#include "Logging/ZedLogging/ZedLogFlags.h"

// The two process-wide masks that set_log_level replaces: the file-watcher wrapper's and the
// watcher class's. Every other source uses a fixed mask.
class ZedLogLevels {
  public:
    static int wrapperMask() { return wrapperMask_.load(std::memory_order_relaxed); }
    static int watcherMask() { return watcherMask_.load(std::memory_order_relaxed); }
    static void setAll(int mask);

  private:
    static inline std::atomic<int> wrapperMask_{ZedLogMaskInfo};
    static inline std::atomic<int> watcherMask_{ZedLogMaskInfo};
};
