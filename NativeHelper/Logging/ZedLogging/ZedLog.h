#pragma once

#include <string_view>

#include "Logging/ZedLogging/ZedLogFlags.h"
#include "Logging/ZedLogging/ZedLogPost.h"

// Whether a function name says which operation logged. Inside a lambda the compiler's name is
// "operator()", which says nothing: such code names its operation with the *In variants.
constexpr bool zedLogNamesAnOperation(std::string_view function) {
    return function != "operator()";
}

// Posts a message when `mask` lets `flag` through, naming `function` as its origin. Posts are
// asynchronous so that logging never holds up the caller beyond the hub's back-pressure.
#define ZED_LOG_IN(function, mask, flag, context, ...)                                       \
    do {                                                                                     \
        const int zedLogMask_ = (mask);                                                      \
        if (zedLogMask_ & (flag)) {                                                          \
            ZedLogPost::post(zedLogMask_, (flag), (context), __FILE__, (function), __LINE__, \
                             __VA_ARGS__);                                                   \
        }                                                                                    \
    } while (0)

// The same from the function that logs; refused at compile time inside a lambda.
#define ZED_LOG(mask, flag, context, ...)                                                    \
    do {                                                                                     \
        static_assert(zedLogNamesAnOperation(__func__),                                      \
                      "a lambda hides the operation: log with the *In variant and name it"); \
        ZED_LOG_IN(__func__, mask, flag, context, __VA_ARGS__);                              \
    } while (0)

#define ZedLogFatal(mask, context, ...) ZED_LOG(mask, ZedLogFlagFatal, context, __VA_ARGS__)
#define ZedLogError(mask, context, ...) ZED_LOG(mask, ZedLogFlagError, context, __VA_ARGS__)
#define ZedLogWarn(mask, context, ...) ZED_LOG(mask, ZedLogFlagWarning, context, __VA_ARGS__)
#define ZedLogNotice(mask, context, ...) ZED_LOG(mask, ZedLogFlagNotice, context, __VA_ARGS__)
#define ZedLogInfo(mask, context, ...) ZED_LOG(mask, ZedLogFlagInfo, context, __VA_ARGS__)
#define ZedLogDebug(mask, context, ...) ZED_LOG(mask, ZedLogFlagDebug, context, __VA_ARGS__)

#define ZedLogErrorIn(function, mask, context, ...) \
    ZED_LOG_IN(function, mask, ZedLogFlagError, context, __VA_ARGS__)
#define ZedLogWarnIn(function, mask, context, ...) \
    ZED_LOG_IN(function, mask, ZedLogFlagWarning, context, __VA_ARGS__)
#define ZedLogDebugIn(function, mask, context, ...) \
    ZED_LOG_IN(function, mask, ZedLogFlagDebug, context, __VA_ARGS__)
