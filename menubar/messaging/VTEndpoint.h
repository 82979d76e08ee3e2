#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class VTLogger;

// Where the service listens, settled from weakest to strongest source: the built-in
// settings, the endpoint file, the command line ("--hostname=H" or "--hostname H", "--port=P"
// or "--port P").
struct VTEndpoint {
    QString host;
    qint64 port = 0;

    static VTEndpoint settle(const QStringList& processArguments, const VTLogger& log);

    // The host and the first non-zero port named on the command line, each when present.
    struct CommandLine {
        std::optional<QString> host;
        qint64 port = 0;
    };
    static CommandLine VT_parseCommandLineArgs(const QStringList& processArguments);
};
