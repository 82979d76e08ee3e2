// VaultorMenuBar: the tray status client of the Vaultor backup service.
//
//   VaultorMenuBar [--headless] [--print-status] [--menu-open] [--hostname H] [--port P]
//
// --headless runs the client without tray or panel; --print-status prints one line per state
// update; --menu-open polls as if the status menu were open (full statistics at the
// menu-open interval). "--hostname=H" and "--port=P" work as well. Options the client does not
// know are ignored with a warning. Without a display and without --headless the client ends
// with status 2.
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string_view>

#include "app/MasterControlProgram.h"
#include "app/VTAppWiring.h"
#include "app/VTHeadlessMenuHandler.h"
#include "app/VTLogger.h"
#include "app/VTStatusPrinter.h"
#include "model/VTVaultorState.h"
#include "ui/VTQtDesktopServices.h"
#include "ui/VTTrayWiring.h"
#include "ui/text/VTTranslationLoader.h"

namespace {

constexpr int kExitNoDisplay = 2;

// Set while the graphical application connects to the display: a fatal message from Qt then
// means that there is no display to be had.
std::atomic<bool> startingOnTheDisplay{false};

const VTLogger& mainLog() {
    return *VTLogger::sharedLoggerForClass(QStringLiteral("VaultorMenuBar"));
}

// Qt's own reason, when it gave one, comes first on standard error, so that whoever started the
// client sees why the display named could not be had.
[[noreturn]] void exitForWantOfADisplay(const QString& reason = QString()) {
    const QString message =
        QStringLiteral("no display; start with --headless, or set DISPLAY or WAYLAND_DISPLAY");
    if (!reason.isEmpty()) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(reason));
    }
    std::fprintf(stderr, "%s\n", qUtf8Printable(message));
    std::fflush(stderr);
    mainLog().severe(message);  // severe lines reach the log before this returns
    std::_Exit(kExitNoDisplay);
}

// Qt's own messages: its debug chatter is dropped, its warnings go to the client's log at fine
// level, its critical and fatal messages at severe.
void debug_ns_logger(QtMsgType type, const QMessageLogContext&, const QString& message) {
    switch (type) {
        case QtDebugMsg:
        case QtInfoMsg:
            return;
        case QtWarningMsg:
            mainLog().fine(message);
            return;
        case QtCriticalMsg:
        case QtFatalMsg:
            mainLog().severe(message);
            if (type == QtFatalMsg && startingOnTheDisplay) {
                exitForWantOfADisplay(message);
            }
            return;
    }
}

bool hasArgument(int argc, char** argv, std::initializer_list<std::string_view> names) {
    return std::any_of(argv + 1, argv + argc, [names](const char* argument) {
        return std::find(names.begin(), names.end(), std::string_view(argument)) != names.end();
    });
}

// Whether the graphical application has somewhere to go: a display, or a platform chosen
// by name (offscreen, for one).
bool displayIsNamed() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(debug_ns_logger);
    const bool headless = hasArgument(argc, argv, {"--headless"});
    const bool helpOnly = hasArgument(argc, argv, {"--help", "-h", "--help-all"});
    if (!headless && !helpOnly && !displayIsNamed()) {
        exitForWantOfADisplay();
    }
    // Without a screen there is no need for the graphical application and what it loads.
    std::unique_ptr<QCoreApplication> instance;
    if (headless || helpOnly) {
        // Qt's own event dispatcher serves sockets and timers alike, without GLib's main
        // context and the memory it touches.
        if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) {
            qputenv("QT_NO_GLIB", "1");
        }
        instance = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        QApplication::setQuitOnLastWindowClosed(false);
        startingOnTheDisplay = true;
        instance = std::make_unique<QApplication>(argc, argv);
        startingOnTheDisplay = false;
    }
    QCoreApplication& application = *instance;
    QCoreApplication::setApplicationName(QStringLiteral("VaultorMenuBar"));
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
        mainLog().warning(
            QStringLiteral("%1 The client goes on without it.").arg(parser.errorText()));
    }
    if (parser.isSet(QStringLiteral("help-all"))) {
        parser.process(application);  // Qt's own options too; ends the program
    }
    if (parser.isSet(help)) {
        parser.showHelp();
    }

    VTAppWiring::Options options;
    VTHeadlessMenuHandler menuHandler;
    VTQtDesktopServices desktop;
    VTAppWiring wiring;
    if (headless) {
        options.menuHandler = &menuHandler;
        wiring = VTAppWiring::build(&application, options);
    } else {
        const VTTrayWiring tray = VTTrayWiring::build(&application, options, &desktop);
        tray.startDesktopWatches();
        wiring = tray.core;
    }
    if (headless && parser.isSet(QStringLiteral("menu-open"))) {
        QObject::connect(wiring.state, &VTVaultorState::isConnectedChanged, &menuHandler,
                         [&menuHandler, state = wiring.state] {
                             const bool connected = state->isConnected();
                             QTimer::singleShot(0, &menuHandler, [&menuHandler, connected] {
                                 menuHandler.setOpen(connected);
                             });
                         });
    }
    if (parser.isSet(QStringLiteral("print-status"))) {
        new VTStatusPrinter(wiring.state, wiring.mcp, &application);
    }
    return application.exec();
}
