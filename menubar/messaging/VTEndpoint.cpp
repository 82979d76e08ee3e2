#include "messaging/VTEndpoint.h"

#include "app/VTLogger.h"
#include "app/VTUIInfo.h"
#include "app/VTUtils.h"

namespace {

const QString kHostOption = QStringLiteral("--hostname=");
const QString kPortOption = QStringLiteral("--port=");
// The same options with their value in the next argument, as the help text shows them.
const QString kHostOptionAlone = QStringLiteral("--hostname");
const QString kPortOptionAlone = QStringLiteral("--port");

}  // namespace

VTEndpoint::CommandLine VTEndpoint::VT_parseCommandLineArgs(const QStringList& processArguments) {
    // An option counts wherever its text occurs in an argument; its value starts at the
    // option's length, which is the text after the option when the argument begins with it.
    CommandLine found;
    for (qsizetype index = 0; index < processArguments.size(); ++index) {
        const QString& argument = processArguments[index];
        if (argument == kHostOptionAlone || argument == kPortOptionAlone) {
            if (++index == processArguments.size()) {
                break;
            }
            const QString& value = processArguments[index];
            if (argument == kHostOptionAlone && !found.host) {
                found.host = value;
            } else if (argument == kPortOptionAlone && found.port == 0) {
                found.port = VTUtils::integerValue(value);
            }
            continue;
        }
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
        log.repeating(VTLogger::Warning,
                      QStringLiteral("Did not find VTS port in .ui_info. Using default."));
    } else {
        log.repeatingWithFormat(VTLogger::Info, "Found VTS port in .ui_info : %lu",
                                static_cast<unsigned long>(filePort));
        endpoint.port = filePort;
    }
    if (const auto address = uiInfo->ipAddress()) {
        log.repeatingWithFormat(VTLogger::Info, "Found VTS IP address in .ui_info : %s",
                                qUtf8Printable(*address));
        endpoint.host = *address;
    } else {
        log.repeating(VTLogger::Info,
                      QStringLiteral("Did not find VTS IP address in .ui_info. Using default."));
    }

    const CommandLine commandLine = VT_parseCommandLineArgs(processArguments);
    if (commandLine.host) {
        endpoint.host = *commandLine.host;
    }
    if (commandLine.port != 0) {
        endpoint.port = commandLine.port;
    }
    log.repeatingWithFormat(VTLogger::Info, "Connecting to VTS at (%s:%ld)",
                            qUtf8Printable(endpoint.host), static_cast<long>(endpoint.port));
    return endpoint;
}
