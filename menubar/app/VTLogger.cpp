#include "app/VTLogger.h"

#include <QHash>
#include <QMutex>
#include <memory>
#include <unordered_map>

#include "app/VTRepeatedLines.h"
#include "app/VTUtils.h"
#include "logging/DDASLLogger.h"
#include "logging/DDLog.h"
#include "logging/DDTTYLogger.h"

bool VTDebugEnabled = false;

namespace {

QMutex registryMutex;

// One logger per class for the life of the process.
std::unordered_map<QString, std::unique_ptr<VTLogger>>& registry() {
    static std::unordered_map<QString, std::unique_ptr<VTLogger>> loggers;
    return loggers;
}

}  // namespace

VTLogger::VTLogger(const QString& className) : forClass_(className), name_(className) {}

void VTLogger::initDependencies() {
    static const bool done = [] {
        VTDebugEnabled = VTUtils::boolFromDefaultPlist("VT_DEBUG");
        DDLog::addLogger(std::make_shared<DDASLLogger>(5));
        if (DDTTYLogger::standardErrorIsTerminal()) {
            DDLog::addLogger(std::make_shared<DDTTYLogger>());
        }
        return true;
    }();
    (void)done;
}

VTLogger* VTLogger::sharedLoggerForClass(const QString& className) {
    initDependencies();
    QMutexLocker lock(&registryMutex);
    std::unique_ptr<VTLogger>& logger = registry()[className];
    if (!logger) {
        logger.reset(new VTLogger(className));
    }
    return logger.get();
}

void VTLogger::lumberLog(const QString& message, int level) {
    int flag = 0;
    switch (level) {
        case Severe:
            flag = kFlagError;
            break;
        case Warning:
            flag = kFlagWarning;
            break;
        case Info:
            flag = kFlagInfo;
            break;
        default:
            return;
    }
    DDLog::log(level != Severe, kLogMask, flag, 0, __FILE__, __func__, __LINE__,
               message.toStdString());
}

QString VTLogger::makeArgString(const char* format, va_list arguments) {
    return format ? QString::vasprintf(format, arguments) : QString();
}

#define VT_FORMAT_TWIN(name, level)                               \
    void VTLogger::name(const char* format, ...) const {          \
        if (!isRecorded(level)) {                                 \
            return;                                               \
        }                                                         \
        va_list arguments;                                        \
        va_start(arguments, format);                              \
        const QString message = makeArgString(format, arguments); \
        va_end(arguments);                                        \
        log(level, message);                                      \
    }

VT_FORMAT_TWIN(severeWithFormat, Severe)
VT_FORMAT_TWIN(warningWithFormat, Warning)
VT_FORMAT_TWIN(infoWithFormat, Info)
VT_FORMAT_TWIN(configWithFormat, Config)
VT_FORMAT_TWIN(fineWithFormat, Fine)
VT_FORMAT_TWIN(finerWithFormat, Finer)
VT_FORMAT_TWIN(finestWithFormat, Finest)
#undef VT_FORMAT_TWIN

void VTLogger::logMsgWithFormat(int level, const char* format, ...) const {
    if (!isRecorded(level)) {
        return;
    }
    va_list arguments;
    va_start(arguments, format);
    const QString message = makeArgString(format, arguments);
    va_end(arguments);
    log(level, message);
}

void VTLogger::repeating(int level, const QString& message) const {
    repeating(level, message, message);
}

void VTLogger::repeating(int level, const QString& key, const QString& message) const {
    if (!isRecorded(level)) {
        return;
    }
    const auto lines = VTRepeatedLines::shared().occurrence(level, forClass_ + u'|' + key, message);
    for (const VTRepeatedLines::Line& line : lines) {
        log(line.level, line.message);
    }
}

void VTLogger::repeatingWithFormat(int level, const char* format, ...) const {
    if (!isRecorded(level)) {
        return;
    }
    va_list arguments;
    va_start(arguments, format);
    const QString message = makeArgString(format, arguments);
    va_end(arguments);
    repeating(level, message);
}

void VTLogger::entering(const QString& method) const {
    log(defaultLevel_, [&] { return QStringLiteral("Entering method %1").arg(method); });
}

void VTLogger::exiting(const QString& method) const {
    log(defaultLevel_, [&] { return QStringLiteral("Exiting method %1").arg(method); });
}

void VTLogger::exitingWithResult(const QString& method, const QString& result) const {
    log(defaultLevel_,
        [&] { return QStringLiteral("Exiting method %1 with result %2").arg(method, result); });
}

void VTLogger::log(int level, const QString& message) const {
    if (!isRecorded(level)) {
        return;
    }
    zed_log(level, qUtf8Printable(forClass_), nullptr, message);
}

void VTLogger::logp(int level, const QString& message, const QString& method) const {
    if (!isRecorded(level)) {
        return;
    }
    zed_log(level, qUtf8Printable(forClass_), qUtf8Printable(method), message);
}

void zed_log(int level, const char*, const char*, const QString& message) {
    VTLogger::lumberLog(message, level);
}
