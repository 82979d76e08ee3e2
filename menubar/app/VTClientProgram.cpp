#include "app/VTClientProgram.h"

#include <QCommandLineParser>
#include <QLocale>
#include <QTimer>
#include <algorithm>

#include "app/MasterControlProgram.h"
#include "app/VTAppWiring.h"
#include "app/VTHeadlessMenuHandler.h"
#include "app/VTLogger.h"
#include "app/VTStatusPrinter.h"
#include "model/VTVaultorState.h"
#include "ui/text/VTTranslationLoader.h"

namespace VTClientProgram {

namespace {

void (*fatalMessageHandler)(const QString&) = nullptr;

void debug_ns_logger(QtMsgType type, const QMessageLogContext&, const QString& message) {
    switch (type) {
        case QtDebugMsg:
        case QtInfoMsg:
            return;
        case QtWarningMsg:
            log().fine(message);
            return;
        case QtCriticalMsg:
        case QtFatalMsg:
            log().severe(message);
            if (type == QtFatalMsg && fatalMessageHandler) {
                fatalMessageHandler(message);
            }
            return;
    }
}

}  // namespace

const VTLogger& log() {
    return *VTLogger::sharedLoggerForClass(QString::fromLatin1(kName));
}

void installMessageHandler(void (*onFatal)(const QString& message)) {
    fatalMessageHandler = onFatal;
    qInstallMessageHandler(debug_ns_logger);
}

bool hasArgument(int argc, char** argv, std::initializer_list<std::string_view> names) {
    return std::any_of(argv + 1, argv + argc, [names](const char* argument) {
        return std::find(names.begin(), names.end(), std::string_view(argument)) != names.end();
    });
}

std::unique_ptr<QCoreApplication> headlessApplication(int& argc, char** argv) {
    // Qt's own event dispatcher serves sockets and timers alike, without GLib's main context
    // and the memory it touches.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) {
        qputenv("QT_NO_GLIB", "1");
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

CommandLine start(QCoreApplication& application) {
    QCoreApplication::setApplicationName(QString::fromLatin1(kName));
    VTTranslationLoader::install(QLocale::system());

    QCommandLineParser parser;
    parser.addOption({QStringLiteral("headless"), QStringLiteral("Run without tray or panel.")});
    parser.addOption(
        {QStringLiteral("print-status"), QStringLiteral("Print a line per state update.")});
    parser.addOption(
        {QStringLiteral("menu-open"), QStringLiteral("Poll as if the menu were open.")});
    parser.addOption(
        {QStringLiteral("hostname"), QStringLiteral("Service host."), QStringLiteral("host")});
    parser.addOption(
        {QStringLiteral("port"), QStringLiteral("Service port."), QStringLiteral("port")});
    const QCommandLineOption help = parser.addHelpOption();
    if (!parser.parse(QCoreApplication::arguments())) {
        log().warning(QStringLiteral("%1 The client goes on without it.").arg(parser.errorText()));
    }
    if (parser.isSet(QStringLiteral("help-all"))) {
        parser.process(application);  // Qt's own options too; ends the program
    }
    if (parser.isSet(help)) {
        parser.showHelp();
    }
    return {parser.isSet(QStringLiteral("print-status")),
            parser.isSet(QStringLiteral("menu-open"))};
}

void printStatusWhenAsked(const CommandLine& commandLine, VTVaultorState* state,
                          MasterControlProgram* mcp, QObject* owner) {
    if (commandLine.printStatus) {
        new VTStatusPrinter(state, mcp, owner);
    }
}

int runHeadless(QCoreApplication& application, const CommandLine& commandLine) {
    VTHeadlessMenuHandler menuHandler;
    VTAppWiring::Options options;
    options.menuHandler = &menuHandler;
    const VTAppWiring wiring = VTAppWiring::build(&application, options);
    if (commandLine.menuOpen) {
        QObject::connect(wiring.state, &VTVaultorState::isConnectedChanged, &menuHandler,
                         [&menuHandler, state = wiring.state] {
                             const bool connected = state->isConnected();
                             QTimer::singleShot(0, &menuHandler, [&menuHandler, connected] {
                                 menuHandler.setOpen(connected);
                             });
                         });
    }
    printStatusWhenAsked(commandLine, wiring.state, wiring.mcp, &application);
    return application.exec();
}

}  // namespace VTClientProgram
