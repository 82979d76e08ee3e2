// The endpoint file and the command line. The input is the file's content (or no file at all)
// and the process arguments: the file must read as its trimmed text split at commas, or as
// nothing when it is missing, empty, too large or not UTF-8; and the settled endpoint must take
// each value from the strongest source that has it (command line, then file, then built-in).
#include <QDir>
#include <QFile>

#include "app/VTLogger.h"
#include "app/VTUIInfo.h"
#include "app/VTUtils.h"
#include "messaging/VTEndpoint.h"
#include "messaging/VTStringMessage.h"
#include "support/FuzzCheck.h"
#include "support/FuzzInput.h"
#include "support/QtFuzzEnvironment.h"

namespace {

QString endpointFilePath() {
    return QtFuzzEnvironment::dataHome() + QStringLiteral("/Vaultor/.ui_info");
}

void placeEndpointFile(bool present, std::string_view content) {
    QFile::remove(endpointFilePath());
    if (!present) {
        return;
    }
    QFile file(endpointFilePath());
    VT_FUZZ_CHECK(file.open(QIODevice::WriteOnly));
    file.write(content.data(), static_cast<qint64>(content.size()));
}

// What the file should read as: its trimmed text split at commas, if it is a readable text.
std::optional<QStringList> expectedFields(bool present, std::string_view content) {
    if (!present || content.size() > 64 * 1024) {
        return std::nullopt;
    }
    const auto text = VTStringMessage::decodeUtf8(
        QByteArray(content.data(), static_cast<qsizetype>(content.size())));
    if (!text || text->trimmed().isEmpty()) {
        return std::nullopt;
    }
    return text->trimmed().split(QLatin1Char(','));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    QtFuzzEnvironment::setUp();
    QDir(QtFuzzEnvironment::dataHome()).mkpath(QStringLiteral("Vaultor"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const bool present = (input.takeByte() & 1) == 0;
    const std::string_view content = input.takeUntil('\0');
    QStringList arguments;
    while (!input.empty()) {
        const std::string_view argument = input.takeUntil('\0');
        arguments.append(
            QString::fromUtf8(argument.data(), static_cast<qsizetype>(argument.size())));
    }
    placeEndpointFile(present, content);

    const VTUIInfo* file = VTUIInfo::sharedInstance();
    const std::optional<QStringList> fields = expectedFields(present, content);
    VT_FUZZ_CHECK(file->readUIInfo() == fields);
    const qint64 filePort = fields ? VTUtils::integerValue(fields->at(0)) : -1;
    VT_FUZZ_CHECK(file->port() == filePort);
    VT_FUZZ_CHECK(file->token() ==
                  (fields && fields->size() > 1 ? std::optional(fields->at(1)) : std::nullopt));
    const std::optional<QString> address =
        fields && fields->size() > 2 ? std::optional(fields->at(2)) : std::nullopt;
    VT_FUZZ_CHECK(file->ipAddress() == address);

    const VTEndpoint::CommandLine commandLine = VTEndpoint::VT_parseCommandLineArgs(arguments);
    const VTEndpoint endpoint =
        VTEndpoint::settle(arguments, *VTLogger::sharedLoggerForClass(QStringLiteral("Fuzz")));
    const QString builtInHost =
        VTUtils::stringFromDefaultPlist(QStringLiteral("VTHost")).toString();
    VT_FUZZ_CHECK(endpoint.host == commandLine.host.value_or(address.value_or(builtInHost)));
    const qint64 weakerPort =
        filePort >= 0 ? filePort : VTUtils::integerFromDefaultPlist(QStringLiteral("VTPort"));
    VT_FUZZ_CHECK(endpoint.port == (commandLine.port != 0 ? commandLine.port : weakerPort));
    return 0;
}
