#include "Logging/ZedLogging/ZedBatchedLogger.h"

#include <cstdarg>
#include <cstdio>

#include "Dispatch/zed_dispatch_helpers.h"
#include "Logging/ZedLogging/ZedLog.h"

namespace {

constexpr int kLogMask = ZedLogMaskInfo;
constexpr std::size_t kInitialCapacity = 32;

std::string formatted(const char* format, va_list arguments) {
    va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, arguments);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

}  // namespace

std::shared_ptr<ZedBatchedLogger> ZedBatchedLogger::create(std::uint64_t batchIntervalMs,
                                                           int logLevel, int logFlag) {
    std::shared_ptr<ZedBatchedLogger> logger(
        new ZedBatchedLogger(batchIntervalMs, logLevel, logFlag));
    char label[64];
    std::snprintf(label, sizeof label, "com.zedcorp.corelib.ZedBatchedLogger.%p",
                  static_cast<void*>(logger.get()));
    logger->_queue = zed::dispatch_queue_create(label, ZedDispatchQueueKind::serial);
    return logger->_queue ? logger : nullptr;
}

ZedBatchedLogger::ZedBatchedLogger(std::uint64_t batchIntervalMs, int logLevel, int logFlag)
    : _batchIntervalMs(batchIntervalMs), _logLevel(logLevel), _logFlag(logFlag) {
    _messages.reserve(kInitialCapacity);
}

void ZedBatchedLogger::appendMessage(const char* format, ...) {
    if (!format) {
        ZedLogError(kLogMask, ZedLogContextApp, "nil format specified");
        return;
    }
    if ((_logLevel & _logFlag) == 0) {
        return;
    }
    va_list arguments;
    va_start(arguments, format);
    std::string message = formatted(format, arguments);
    va_end(arguments);
    // The blocks keep the logger alive until its batch has gone out.
    _queue->async([self = shared_from_this(), message = std::move(message)]() mutable {
        self->_messages.push_back(std::move(message));
        if (!self->_messageScheduled) {
            self->_messageScheduled = true;
            self->_queue->after(std::chrono::milliseconds(self->_batchIntervalMs),
                                [self] { self->_processBatch(); });
        }
    });
}

void ZedBatchedLogger::_processBatch() {
    _messageScheduled = false;
    if (_messages.empty()) {
        return;
    }
    std::string text = "Messages from the last (" + std::to_string(_batchIntervalMs) + ")ms:\n";
    for (const auto& message : _messages) {
        text += message + "\n";
    }
    ZedLogPost::post(_logLevel, _logFlag, ZedLogContextApp, __FILE__, __func__, __LINE__, "%s",
                     text.c_str());
    _messages.clear();
}
