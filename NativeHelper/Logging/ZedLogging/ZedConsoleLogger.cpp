#include "Logging/ZedLogging/ZedConsoleLogger.h"

#include <memory>
#include <mutex>

#include "Logging/ZedLogging/ZedDevLogFormatter.h"
#include "logging/DDLog.h"
#include "logging/DDTTYLogger.h"

namespace ZedConsoleLogger {

void installOnce() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        auto console = std::make_shared<DDTTYLogger>();
        console->setLogFormatter(std::make_shared<ZedDevLogFormatter>());
        DDLog::addLogger(std::move(console));
    });
}

}  // namespace ZedConsoleLogger
