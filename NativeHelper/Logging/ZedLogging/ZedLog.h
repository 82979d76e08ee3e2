#pragma once

#include "Logging/ZedLogging/ZedLogFlags.h"
#include "Logging/ZedLogging/ZedLogPost.h"

// Posts a message when `mask` lets `flag` through. Posts are asynchronous so that logging never
// holds up the caller beyond the hub's back-pressure.
#define ZED_LOG(mask, flag, context, ...)                                                  \
    do {                                                                                   \
        const int zedLogMask_ = (mask);                                                    \
        if (zedLogMask_ & (flag)) {                                                        \
            ZedLogPost::post(zedLogMask_, (flag), (context), __FILE__, __func__, __LINE__, \
                             __VA_ARGS__);                                                 \
        }                                                                                  \
    } while (0)

#define ZedLogFatal(mask, context, ...) ZED_LOG(mask, ZedLogFlagFatal, context, __VA_ARGS__)
#define ZedLogError(mask, context, ...) ZED_LOG(mask, ZedLogFlagError, context, __VA_ARGS__)
#define ZedLogWarn(mask, context, ...) ZED_LOG(mask, ZedLogFlagWarning, context, __VA_ARGS__)
#define ZedLogNotice(mask, context, ...) ZED_LOG(mask, ZedLogFlagNotice, context, __VA_ARGS__)
#define ZedLogInfo(mask, context, ...) ZED_LOG(mask, ZedLogFlagInfo, context, __VA_ARGS__)
#define ZedLogDebug(mask, context, ...) ZED_LOG(mask, ZedLogFlagDebug, context, __VA_ARGS__)
