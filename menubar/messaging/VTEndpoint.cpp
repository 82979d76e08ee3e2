#include "messaging/VTEndpoint.h"

#include "app/VTLogger.h"
#include "app/VTUIInfo.h"
#include "app/VTUtils.h"

namespace {

const QString kHostOption = QStringLiteral("--hostname=");
const QString kPortOption = QStringLiteral("--port=");

}  // namespace

VTEndpoint::CommandLine VTEndpoint::VT_parseCommandLineArgs(const QStringList& processArguments) {
    // An option counts wherever its text occurs in an argument; its value starts at the
    // option's length, which is the text after the option when the argument begins with it.
    CommandLine found;
    for (const QString& argument : processArguments) {
        if (argument.contains(kHostOption)) {
            if (!found.host) {
                found.host = argument.mid(kHostOption.size());
            }
            continue;
        }
        if (found.port == 0 && argument.contains(kPortOption)) {
            found.port = VTUtils::integerValue(argument.mid(kPortOption.size()));
        }
    }
    return found;
}

VTEndpoint VTEndpoint::settle(const QStringList& processArguments, const VTLogger& log) {
    VTEndpoint endpoint;
    endpoint.host = VTUtils::stringFromDefaultPlist(QStringLiteral("VTHost")).toString();
    endpoint.port = VTUtils::integerFromDefaultPlist(QStringLiteral("VTPort"));

    VTUIInfo* uiInfo = VTUIInfo::sharedInstance();
    const qint64 filePort = uiInfo->port();
    if (filePort < 0) {
        log.warning(QStringLiteral("Did not find VTS port in .ui_info. Using default."));
    } else {
        log.infoWithFormat("Found VTS port in .ui_info : %lu",
                           static_cast<unsigned long>(filePort));
        endpoint.port = filePort;
    }
    if (const auto address = uiInfo->ipAddress()) {
        log.infoWithFormat("Found VTS IP address in .ui_info : %s", qUtf8Printable(*address));
        endpoint.host = *address;
    } else {
        log.info(QStringLiteral("Did not find VTS IP address in .ui_info. Using default."));
    }

    const CommandLine commandLine = VT_parseCommandLineArgs(processArguments);
    if (commandLine.host) {
        endpoint.host = *commandLine.host;
    }
    if (commandLine.port != 0) {
        endpoint.port = commandLine.port;
    }
    log.infoWithFormat("Connecting to VTS at (%s:%ld)", qUtf8Printable(endpoint.host),
                       static_cast<long>(endpoint.port));
    return endpoint;
}
