#include "platform/Syslog.h"

#include <syslog.h>

Syslog::Syslog() {
    openlog("VaultorService", LOG_PID, LOG_USER);
}

Syslog::~Syslog() {
    closelog();
}

void Syslog::write(Priority priority, std::string_view line) {
    int level = priority == Priority::Error ? LOG_ERR : LOG_NOTICE;
    syslog(level, "%.*s", static_cast<int>(line.size()), line.data());
}
